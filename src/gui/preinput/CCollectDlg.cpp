#include "preinput/CCollectDlg.h"

#include "shell/FormKeys.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvel {

namespace {

QString money(double v)
{
    return QString::asprintf("%.2f", v);
}

} // namespace

CCollectDlg::CCollectDlg(CollectForm &form, Prompter &prompter, QWidget *parent)
    : QDialog(parent), form_(form), prompter_(prompter)
{
    setWindowTitle(QStringLiteral("到付运费及代收货款管理"));
    fee_ = new QLineEdit(this);
    fee_->setReadOnly(true);
    fee_->setFocusPolicy(Qt::NoFocus);
    collectSettle_ = new QLineEdit(this);
    collectSettle_->setEnabled(form.collectSettleEditable());
    cod_ = new QLineEdit(this);
    codSettle_ = new QLineEdit(this);
    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("到付总运费:"), fee_);
    fields->addRow(QStringLiteral("向客户结算:"), collectSettle_);
    fields->addRow(QStringLiteral("代收总货款:"), cod_);
    fields->addRow(QStringLiteral("向客户结算:"), codSettle_);

    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    auto *clear = new QPushButton(QStringLiteral("重写"), this);
    auto *cancel = new QPushButton(QStringLiteral("退出"), this);
    for (QPushButton *b : {ok, clear, cancel})
        b->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &CCollectDlg::Confirm);
    connect(clear, &QPushButton::clicked, this, &CCollectDlg::Clear);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(clear);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    show(form);
    FormKeys::Install(this);
}

void CCollectDlg::show(const CollectForm &form)
{
    fee_->setText(money(form.fee()));
    collectSettle_->setText(money(form.collectSettle));
    cod_->setText(money(form.cod));
    codSettle_->setText(money(form.codSettle));
}

void CCollectDlg::read()
{
    form_.collectSettle = collectSettle_->text().trimmed().toDouble();
    form_.cod = cod_->text().trimmed().toDouble();
    form_.codSettle = codSettle_->text().trimmed().toDouble();
}

void CCollectDlg::Confirm()
{
    read();
    const bool ok = form_.Confirm(prompter_);
    show(form_);
    if (ok)
        accept();
}

void CCollectDlg::Clear()
{
    form_.Clear();
    show(form_);
}

} // namespace quarvel
