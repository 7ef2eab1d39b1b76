#include "app/SettingsForm.h"

#include "app/ClientContext.h"
#include "app/Prompter.h"

namespace quarvel {

namespace {

const SettingsForm::Box kBoxes[] = {
    {"origin", &ProgramSettings::origin, u"[默认]出发地:"},
    {"sender", &ProgramSettings::senderName, u"姓名:"},
    {"department", &ProgramSettings::department, u"部门:"},
    {"phone", &ProgramSettings::phone, u"电话:"},
    {"postcode", &ProgramSettings::postcode, u"邮编:"},
    {"company", &ProgramSettings::company, u"单位:"},
    {"address", &ProgramSettings::address, u"地址:"},
    {"country", &ProgramSettings::country, u"国家:"},
    {"province", &ProgramSettings::province, u"省州:"},
    {"city", &ProgramSettings::city, u"城市:"},
    {"mail", &ProgramSettings::mail, u"电邮:"},
    {"sms", &ProgramSettings::sms, u"短信:"},
};

} // namespace

std::span<const SettingsForm::Box> SettingsForm::Boxes()
{
    return kBoxes;
}

const SettingsForm::Box *SettingsForm::BoxNamed(const QString &name)
{
    for (const Box &b : kBoxes)
        if (name == QLatin1String(b.name))
            return &b;
    return nullptr;
}

int SettingsForm::MaxChars(QString ProgramSettings::*member)
{
    for (const ProgramSettings::Field &f : ProgramSettings::kFields)
        if (f.member == member)
            return f.maxChars;
    return 0;
}

SettingsForm::SettingsForm(ClientContext &context) : values(context.settings()), context_(context)
{
}

bool SettingsForm::Confirm(Prompter &prompter)
{
    values.programNumber = ProgramSettings::NormalisedProgramNumber(values.programNumber);
    for (const Box &b : kBoxes)
        values.*b.member = (values.*b.member).left(MaxChars(b.member));
    context_.settings() = values;
    if (!context_.SaveProgramSettings(prompter))
        return false;
    prompter.inform(QString(), QStringLiteral("设置数据已保存。"));
    return true;
}

} // namespace quarvel
