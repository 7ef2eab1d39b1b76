#include "settings/CSettingsDlg.h"

#include "app/ClientContext.h"
#include "app/Prompter.h"
#include "app/SettingsForm.h"
#include "shell/FormKeys.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvel {

CSettingsDlg::CSettingsDlg(ClientContext &context, Prompter &prompter, QWidget *parent)
    : QDialog(parent), context_(context), prompter_(prompter)
{
    setWindowTitle(SettingsForm::Title());
    const SettingsForm form(context);
    const ProgramSettings &s = form.values;
    auto *top = new QFormLayout;
    number_ = new QLineEdit(QString::number(s.programNumber), this);
    number_->setValidator(new QIntValidator(-99, 99, number_));
    auto *numberRow = new QHBoxLayout;
    numberRow->addWidget(number_);
    numberRow->addWidget(new QLabel(SettingsForm::ProgramNumberHint(), this));
    top->addRow(SettingsForm::ProgramNumberCaption(), numberRow);

    auto *group = new QGroupBox(SettingsForm::SenderGroupCaption(), this);
    auto *senderRows = new QFormLayout(group);
    for (const SettingsForm::Box &b : SettingsForm::Boxes()) {
        const QString caption = QString::fromUtf16(b.caption);
        if (b.member == &ProgramSettings::address) {
            address_ = new QPlainTextEdit(s.address, group);
            address_->setTabChangesFocus(true);
            address_->setFixedHeight(address_->fontMetrics().height() * 3 + 10);
            senderRows->addRow(caption, address_);
            continue;
        }
        // The origin stands above the sender group.
        const bool origin = b.member == &ProgramSettings::origin;
        auto *box = new QLineEdit(s.*b.member, origin ? static_cast<QWidget *>(this) : group);
        box->setMaxLength(SettingsForm::MaxChars(b.member));
        boxes_.append({b.member, box});
        (origin ? top : senderRows)->addRow(caption, box);
    }
    confirm_ = new QPushButton(QStringLiteral("确认设置"), this);
    auto *close = new QPushButton(QStringLiteral("关   闭"), this);
    confirm_->setAutoDefault(false);
    close->setAutoDefault(false);
    connect(confirm_, &QPushButton::clicked, this, &CSettingsDlg::Confirm);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(confirm_);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(group);
    layout->addLayout(buttons);
    FormKeys::Install(this);
}

QLineEdit *CSettingsDlg::box(QString ProgramSettings::*member) const
{
    for (const auto &[m, box] : boxes_)
        if (m == member)
            return box;
    return nullptr;
}

void CSettingsDlg::Confirm()
{
    SettingsForm form(context_);
    form.values.programNumber = number_->text().toInt();
    for (const auto &[member, box] : boxes_)
        form.values.*member = box->text();
    form.values.address = address_->toPlainText();
    form.Confirm(prompter_);
    accept();
}

} // namespace quarvel
