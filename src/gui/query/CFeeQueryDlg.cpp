#include "query/CFeeQueryDlg.h"

#include "preinput/CLinkLabel.h"
#include "preinput/CaptionKeys.h"
#include "query/QueryDialogButtons.h"
#include "shell/FormKeys.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace quarvel {

namespace {

QString number(double value)
{
    return value == 0 ? QStringLiteral("0") : QString::number(value, 'f', 2);
}

} // namespace

CFeeQueryDlg::CFeeQueryDlg(FeeQueryForm &form, Prompter &prompter, QWidget *parent)
    : QDialog(parent), form_(form), prompter_(prompter)
{
    setWindowTitle(FeeQueryForm::Title());
    const auto edit = [this](int maxChars) {
        auto *e = new QLineEdit(this);
        e->setMaxLength(maxChars);
        return e;
    };
    invoice_ = edit(FeeQueryForm::kInvoiceChars);
    from_ = edit(FeeQueryForm::kDateChars);
    to_ = edit(FeeQueryForm::kDateChars);
    types_[0] = new QCheckBox(QStringLiteral("核收"), this);
    types_[1] = new QCheckBox(QStringLiteral("清缴"), this);
    amountFrom_ = edit(12);
    amountTo_ = edit(12);
    operator_ = edit(FeeQueryForm::kOperatorChars);
    auto *dates = new CLinkLabel(QStringLiteral("缴款日期:"), this);
    connect(dates, &CLinkLabel::clicked, this, &CFeeQueryDlg::StepDates);
    (new CaptionKeys(this))->bind(dates, from_, QStringLiteral("换日期范围"));

    const auto pair = [this](QWidget *a, QWidget *b, const QString &between) {
        auto *row = new QHBoxLayout;
        row->addWidget(a);
        if (!between.isEmpty())
            row->addWidget(new QLabel(between, this));
        row->addWidget(b);
        row->addStretch();
        return row;
    };
    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("发票号:"), this), 0, 0, Qt::AlignRight);
    grid->addWidget(invoice_, 0, 1);
    grid->addWidget(dates, 1, 0, Qt::AlignRight);
    grid->addLayout(pair(from_, to_, QStringLiteral("至")), 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("类别:"), this), 2, 0, Qt::AlignRight);
    grid->addLayout(pair(types_[0], types_[1], QString()), 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("金额:"), this), 3, 0, Qt::AlignRight);
    grid->addLayout(pair(amountFrom_, amountTo_, QStringLiteral("至")), 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("经办人:"), this), 4, 0, Qt::AlignRight);
    grid->addWidget(operator_, 4, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(QueryDialogButtons(
        this, [this] { Confirm(); }, [this] { Reset(); }));
    FormKeys::Install(this);
    showValues();
}

void CFeeQueryDlg::showValues()
{
    const FeeQueryForm::Values &v = form_.values();
    invoice_->setText(v.invoice);
    from_->setText(v.from);
    to_->setText(v.to);
    types_[0]->setChecked(v.types[0]);
    types_[1]->setChecked(v.types[1]);
    amountFrom_->setText(number(v.amountFrom));
    amountTo_->setText(number(v.amountTo));
    operator_->setText(v.operatorName);
}

void CFeeQueryDlg::readValues()
{
    FeeQueryForm::Values &v = form_.values();
    v.invoice = invoice_->text();
    v.from = from_->text();
    v.to = to_->text();
    v.types = {types_[0]->isChecked(), types_[1]->isChecked()};
    // An amount that does not read is 0.
    v.amountFrom = amountFrom_->text().trimmed().toDouble();
    v.amountTo = amountTo_->text().trimmed().toDouble();
    v.operatorName = operator_->text();
}

void CFeeQueryDlg::Confirm()
{
    readValues();
    const bool ok = form_.Confirm(prompter_);
    showValues();
    if (ok)
        accept();
}

void CFeeQueryDlg::Reset()
{
    readValues();
    form_.Reset();
    showValues();
}

void CFeeQueryDlg::StepDates()
{
    readValues();
    form_.StepDates();
    showValues();
}

} // namespace quarvel
