#include "settings/CSettingsDlg.h"

#include "app/ClientContext.h"
#include "app/Prompter.h"
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

namespace {

struct Row {
    QString ProgramSettings::*member;
    const char16_t *caption;
};

// The sender group in the dialog's order; the origin stands above it.
const Row kSenderRows[] = {
    {&ProgramSettings::senderName, u"姓名:"}, {&ProgramSettings::department, u"部门:"},
    {&ProgramSettings::phone, u"电话:"},      {&ProgramSettings::postcode, u"邮编:"},
    {&ProgramSettings::company, u"单位:"},    {&ProgramSettings::address, u"地址:"},
    {&ProgramSettings::country, u"国家:"},    {&ProgramSettings::province, u"省州:"},
    {&ProgramSettings::city, u"城市:"},       {&ProgramSettings::mail, u"电邮:"},
    {&ProgramSettings::sms, u"短信:"},
};

int maxCharsOf(QString ProgramSettings::*member)
{
    for (const ProgramSettings::Field &f : ProgramSettings::kFields)
        if (f.member == member)
            return f.maxChars;
    return 0;
}

} // namespace

CSettingsDlg::CSettingsDlg(ClientContext &context, Prompter &prompter, QWidget *parent)
    : QDialog(parent), context_(context), prompter_(prompter)
{
    setWindowTitle(QStringLiteral("设置本程序运行默认数据"));
    const ProgramSettings &s = context.settings();
    auto *top = new QFormLayout;
    number_ = new QLineEdit(QString::number(s.programNumber), this);
    number_->setValidator(new QIntValidator(-99, 99, number_));
    auto *numberRow = new QHBoxLayout;
    numberRow->addWidget(number_);
    numberRow->addWidget(new QLabel(QStringLiteral("(0-9,多个客户端时唯一识别号)"), this));
    top->addRow(QStringLiteral("程序编号:"), numberRow);
    auto *origin = new QLineEdit(s.origin, this);
    origin->setMaxLength(maxCharsOf(&ProgramSettings::origin));
    boxes_.append({&ProgramSettings::origin, origin});
    top->addRow(QStringLiteral("[默认]出发地:"), origin);

    auto *group = new QGroupBox(QStringLiteral("[默认]发件人信息-将默认预录填充"), this);
    auto *form = new QFormLayout(group);
    for (const Row &r : kSenderRows) {
        if (r.member == &ProgramSettings::address) {
            address_ = new QPlainTextEdit(s.address, group);
            address_->setTabChangesFocus(true);
            address_->setFixedHeight(address_->fontMetrics().height() * 3 + 10);
            form->addRow(QString::fromUtf16(r.caption), address_);
            continue;
        }
        auto *box = new QLineEdit(s.*r.member, group);
        box->setMaxLength(maxCharsOf(r.member));
        boxes_.append({r.member, box});
        form->addRow(QString::fromUtf16(r.caption), box);
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
    ProgramSettings &s = context_.settings();
    s.programNumber = ProgramSettings::NormalisedProgramNumber(number_->text().toInt());
    for (const auto &[member, box] : boxes_)
        s.*member = box->text();
    s.address = address_->toPlainText().left(maxCharsOf(&ProgramSettings::address));
    if (context_.SaveProgramSettings(prompter_))
        prompter_.inform(QString(), QStringLiteral("设置数据已保存。"));
    accept();
}

} // namespace quarvel
