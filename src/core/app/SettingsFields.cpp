#include "app/SettingsFields.h"

#include "app/ProgramSettings.h"
#include "app/SettingsForm.h"

namespace quarvel {

namespace {

const QString kProgram = QStringLiteral("program");

// The box's caption as a message names it: "[默认]出发地:" → "出发地".
QString label(const SettingsForm::Box &box)
{
    QString text = QString::fromUtf16(box.caption);
    text.remove(QStringLiteral("[默认]"));
    if (text.endsWith(u':'))
        text.chop(1);
    return text;
}

QString setProgramNumber(ProgramSettings &values, const QString &value)
{
    bool ok = false;
    const int number = value.trimmed().toInt(&ok);
    // The dialog would store 0 for any other number: a script is told instead.
    if (!ok || ProgramSettings::NormalisedProgramNumber(number) != number) {
        QString hint = SettingsForm::ProgramNumberHint();
        hint = hint.mid(1, hint.size() - 2);
        return QStringLiteral("程序编号无效：%1（%2）").arg(value, hint);
    }
    values.programNumber = number;
    return {};
}

} // namespace

QStringList SettingsFields::Names()
{
    QStringList names{kProgram};
    for (const SettingsForm::Box &b : SettingsForm::Boxes())
        names.append(QString::fromLatin1(b.name));
    return names;
}

SettingsFields::Result SettingsFields::Set(ProgramSettings &values, const QString &name, const QString &value,
                                           QString &reason)
{
    if (name == kProgram) {
        reason = setProgramNumber(values, value);
        return reason.isEmpty() ? Result::Set : Result::BadValue;
    }
    const SettingsForm::Box *box = SettingsForm::BoxNamed(name);
    if (!box) {
        reason = QStringLiteral("unknown setting %1 (%2)").arg(name, Names().join(u' '));
        return Result::UnknownField;
    }
    const int most = SettingsForm::MaxChars(box->member);
    if (value.size() > most) {
        reason = QStringLiteral("[%1]长度不得超过 %2 字符。").arg(label(*box)).arg(most);
        return Result::BadValue;
    }
    values.*box->member = value;
    return Result::Set;
}

QString SettingsFields::Show(const ProgramSettings &values)
{
    QString out = kProgram + u'=' + QString::number(values.programNumber) + u'\n';
    for (const SettingsForm::Box &b : SettingsForm::Boxes()) {
        QString text = values.*b.member;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\\n")).replace(u'\n', QStringLiteral("\\n"));
        out += QString::fromLatin1(b.name) + u'=' + text + u'\n';
    }
    return out;
}

QJsonObject SettingsFields::Json(const ProgramSettings &values)
{
    QJsonObject all{{kProgram, values.programNumber}};
    for (const SettingsForm::Box &b : SettingsForm::Boxes())
        all.insert(QString::fromLatin1(b.name), values.*b.member);
    return all;
}

} // namespace quarvel
