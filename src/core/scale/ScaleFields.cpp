#include "scale/ScaleFields.h"

#include "scale/ScaleDevice.h"
#include "scale/ScaleSettings.h"
#include "scale/ScaleSettingsForm.h"

#include <functional>

namespace quarvel {

namespace {

// A whole number within its range, or nothing.
std::optional<int> number(const QString &value, int low, int high)
{
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    return ok && n >= low && n <= high ? std::optional<int>(n) : std::nullopt;
}

// An index into the names by number, by name or by the name's first letters.
std::optional<int> choice(const QString &value, const QStringList &names, const QStringList &words)
{
    const QString v = value.trimmed();
    if (const std::optional<int> n = number(v, 0, int(names.size()) - 1))
        return n;
    for (qsizetype i = 0; i < names.size(); ++i)
        if (v.compare(names[i], Qt::CaseInsensitive) == 0 || v.compare(words.value(i), Qt::CaseInsensitive) == 0)
            return int(i);
    return std::nullopt;
}

using Setter = std::function<QString(ScaleSettings &, ScaleDevice &, const QString &)>;

QString rangeText(const QString &what, const QString &value, const QString &allowed)
{
    return QStringLiteral("%1无效：%2（%3）").arg(what, value, allowed);
}

const QList<QPair<QString, Setter>> &setters()
{
    static const QList<QPair<QString, Setter>> table{
        {QStringLiteral("enabled"),
         [](ScaleSettings &s, ScaleDevice &, const QString &v) {
             const std::optional<int> n =
                 choice(v, {QStringLiteral("0"), QStringLiteral("1")}, {QStringLiteral("no"), QStringLiteral("yes")});
             if (!n)
                 return rangeText(QStringLiteral("使用电子秤称重"), v, QStringLiteral("0 或 1"));
             s.enabled = *n;
             return QString();
         }},
        {QStringLiteral("type"),
         [](ScaleSettings &s, ScaleDevice &, const QString &v) {
             const std::optional<int> n = number(v, 0, ScaleSettings::kTypes - 1);
             if (!n)
                 return rangeText(QStringLiteral("电子秤类型"), v,
                                  QStringLiteral("0-%1").arg(ScaleSettings::kTypes - 1));
             s.type = static_cast<std::uint8_t>(*n);
             return QString();
         }},
        {QStringLiteral("baud"),
         [](ScaleSettings &s, ScaleDevice &, const QString &v) {
             const std::optional<int> n = ScaleSettingsForm::ParseBaud(v);
             if (!n)
                 return rangeText(QStringLiteral("波特率"), v, QStringLiteral("正整数，如 1200、9600"));
             s.baud = *n;
             return QString();
         }},
        {QStringLiteral("databits"),
         [](ScaleSettings &s, ScaleDevice &, const QString &v) {
             const std::optional<int> n = number(v, 5, 8);
             if (!n)
                 return rangeText(QStringLiteral("数据位"), v, QStringLiteral("5-8"));
             s.dataBits = static_cast<std::uint8_t>(*n);
             return QString();
         }},
        {QStringLiteral("parity"),
         [](ScaleSettings &s, ScaleDevice &, const QString &v) {
             const std::optional<int> n = choice(
                 v, {QStringLiteral("N"), QStringLiteral("O"), QStringLiteral("E"), QStringLiteral("M")},
                 {QStringLiteral("none"), QStringLiteral("odd"), QStringLiteral("even"), QStringLiteral("mark")});
             if (!n)
                 return rangeText(QStringLiteral("奇偶校验"), v, QStringLiteral("N、O、E 或 M"));
             s.parity = static_cast<std::uint8_t>(*n);
             return QString();
         }},
        {QStringLiteral("stopbits"),
         [](ScaleSettings &s, ScaleDevice &, const QString &v) {
             const qsizetype n = ScaleSettings::StopBitsNames().indexOf(v.trimmed());
             if (n < 0)
                 return rangeText(QStringLiteral("停止位"), v, QStringLiteral("1、1.5 或 2"));
             s.stopBits = static_cast<std::uint8_t>(n);
             return QString();
         }},
        {QStringLiteral("length"),
         [](ScaleSettings &s, ScaleDevice &, const QString &v) {
             const std::optional<int> n = number(v, 1, ScaleSettings::kMaxDataLength);
             if (!n)
                 return rangeText(QStringLiteral("数据长度"), v, QStringLiteral("1-30 字节"));
             s.dataLength = static_cast<std::uint8_t>(*n);
             return QString();
         }},
        {QStringLiteral("start"),
         [](ScaleSettings &s, ScaleDevice &, const QString &v) {
             const std::optional<std::uint8_t> c = ScaleSettingsForm::ParseStart(v);
             if (!c)
                 return rangeText(QStringLiteral("开始字符"), v, QStringLiteral("一个字符，或 0xNN 形式的控制码"));
             s.startChar = *c;
             return QString();
         }},
        {QStringLiteral("transmission"),
         [](ScaleSettings &s, ScaleDevice &, const QString &v) {
             const std::optional<int> n = choice(v, ScaleSettings::TransmissionNames(),
                                                 {QStringLiteral("continuous"), QStringLiteral("stable")});
             if (!n)
                 return rangeText(QStringLiteral("数据传输方式"), v, QStringLiteral("0 连续，1 稳定/按按键"));
             s.transmission = static_cast<std::uint8_t>(*n);
             return QString();
         }},
        {QStringLiteral("port"),
         [](ScaleSettings &s, ScaleDevice &, const QString &v) {
             std::optional<int> n = number(v, 0, 3);
             if (!n && ScaleDevice::PortIndex(v) >= 0)
                 n = ScaleDevice::PortIndex(v);
             if (!n)
                 return rangeText(QStringLiteral("连接端口"), v, QStringLiteral("0-3 或 COM1-COM4"));
             s.port = *n;
             return QString();
         }},
        {QStringLiteral("device"),
         [](ScaleSettings &, ScaleDevice &d, const QString &v) {
             if (!v.trimmed().isEmpty() && !v.trimmed().startsWith(u'/'))
                 return rangeText(QStringLiteral("设备路径"), v,
                                  QStringLiteral("以 / 开头，如 /dev/ttyUSB0；空为按端口号"));
             d.chosen = v.trimmed();
             return QString();
         }},
    };
    return table;
}

} // namespace

QStringList ScaleFields::Names()
{
    QStringList names;
    for (const auto &[name, setter] : setters())
        names.append(name);
    return names;
}

ScaleFields::Result ScaleFields::Set(ScaleSettings &settings, ScaleDevice &device, const QString &name,
                                     const QString &value, QString &reason)
{
    for (const auto &[field, setter] : setters())
        if (field == name) {
            reason = setter(settings, device, value);
            return reason.isEmpty() ? Result::Set : Result::BadValue;
        }
    reason = QStringLiteral("unknown field %1 (%2)").arg(name, Names().join(u' '));
    return Result::UnknownField;
}

QString ScaleFields::Show(const ScaleSettings &s, const ScaleDevice &device)
{
    QString out;
    const auto line = [&out](const char *name, const QString &value) {
        out += QString::fromLatin1(name) + u'=' + value + u'\n';
    };
    line("enabled", QString::number(s.enabled));
    line("type", QStringLiteral("%1 %2").arg(int(s.type)).arg(ScaleSettings::TypeNames().value(s.type)));
    line("baud", QString::number(s.baud));
    line("databits", QString::number(s.dataBits));
    line("parity", s.parityLetter());
    line("stopbits", s.stopBitsText());
    line("length", QString::number(s.dataLength));
    line("start", ScaleSettingsForm::StartText(s.startChar));
    line(
        "transmission",
        QStringLiteral("%1 %2").arg(int(s.transmission)).arg(ScaleSettings::TransmissionNames().value(s.transmission)));
    line("port", QStringLiteral("%1 %2").arg(s.port).arg(ScaleDevice::PortName(s.port)));
    line("device", device.chosen);
    line("opens", device.DeviceFor(s));
    line("settings", s.SettingsString());
    return out;
}

} // namespace quarvel
