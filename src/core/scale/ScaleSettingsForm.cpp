#include "scale/ScaleSettingsForm.h"

#include "app/ClientContext.h"
#include "app/Prompter.h"
#include "scale/ScaleDevice.h"

#include <algorithm>

namespace quarvel {

QString ScaleSettingsForm::Choice::device() const
{
    ScaleDevice d;
    d.chosen = chosenDevice;
    return d.DeviceFor(settings);
}

ScaleSettingsForm::ScaleSettingsForm(ClientContext &context, Prompter &prompter)
    : context_(context), prompter_(prompter)
{
    Load();
}

void ScaleSettingsForm::Load()
{
    const ScaleSettings &s = context_.scaleSettings();
    const QString chosen = context_.scaleDevice().chosen;
    values_.enabled = s.isEnabled();
    values_.port = chosen.isEmpty() ? ScaleDevice::PortName(s.port) : chosen;
    values_.baud = QString::number(s.baud);
    values_.dataBits = QString::number(s.dataBits);
    values_.parity = s.parity;
    values_.stopBits = s.stopBits;
    values_.type = s.type;
    values_.transmission = s.transmission;
    values_.dataLength = QString::number(s.dataLength);
    values_.start = StartText(s.startChar);
}

std::optional<ScaleSettingsForm::Choice> ScaleSettingsForm::read(bool saving)
{
    Choice c;
    c.settings = context_.scaleSettings();
    c.chosenDevice = context_.scaleDevice().chosen;
    int port = c.settings.port;
    if (!ParsePort(values_.port, port, c.chosenDevice)) {
        prompter_.error(QString(),
                        QStringLiteral("连接端口无效：%1\r\n请选择 COM1-COM4，或输入设备路径，如 /dev/ttyUSB0。")
                            .arg(values_.port.trimmed()));
        return std::nullopt;
    }
    const std::optional<int> baud = ParseBaud(values_.baud);
    if (!baud) {
        prompter_.error(QString(), QStringLiteral("波特率无效：%1").arg(values_.baud.trimmed()));
        return std::nullopt;
    }
    bool lengthOk = false;
    const int length = values_.dataLength.trimmed().toInt(&lengthOk);
    if (!lengthOk) {
        prompter_.error(QString(), QStringLiteral("数据长度无效：%1").arg(values_.dataLength.trimmed()));
        return std::nullopt;
    }
    ScaleSettings &s = c.settings;
    s.enabled = values_.enabled ? 1 : 0;
    s.port = port;
    s.baud = *baud;
    s.dataBits = static_cast<std::uint8_t>(std::clamp(values_.dataBits.toInt(), 5, 8));
    s.parity = static_cast<std::uint8_t>(std::clamp(values_.parity, 0, 3));
    s.stopBits = static_cast<std::uint8_t>(std::clamp(values_.stopBits, 0, 2));
    s.type = static_cast<std::uint8_t>(std::clamp(values_.type, 0, ScaleSettings::kTypes - 1));
    s.transmission =
        values_.transmission == ScaleSettings::OnStable ? ScaleSettings::OnStable : ScaleSettings::Continuous;
    s.dataLength = static_cast<std::uint8_t>(std::clamp(length, 1, ScaleSettings::kMaxDataLength));
    if (const std::optional<std::uint8_t> start = ParseStart(values_.start)) {
        s.startChar = *start;
    } else if (saving) {
        prompter_.warning(QString(), QStringLiteral("开始字符“%1”无效，应为一个字符或 0xNN 形式的控制码；"
                                                    "开始字符仍为“%2”。")
                                         .arg(values_.start, StartText(s.startChar)));
    }
    return c;
}

std::optional<ScaleSettingsForm::Choice> ScaleSettingsForm::Current()
{
    return read(false);
}

bool ScaleSettingsForm::Save()
{
    const std::optional<Choice> c = read(true);
    if (!c)
        return false;
    context_.scaleSettings() = c->settings;
    context_.scaleDevice().chosen = c->chosenDevice;
    Load();
    if (!context_.SaveScaleSettings()) {
        prompter_.error(QString(), QStringLiteral("文件打开错误，设置未能保存。"));
        return false;
    }
    prompter_.inform(QString(), QStringLiteral("设置已经保存。"));
    return true;
}

QStringList ScaleSettingsForm::PortChoices()
{
    QStringList choices;
    QStringList named;
    for (int i = 0; i < 4; ++i) {
        choices.append(ScaleDevice::PortName(i));
        named.append(ScaleDevice::PortDevice(i));
    }
    for (const QString &path : ScaleDevice::SystemPorts())
        if (!named.contains(path))
            choices.append(path);
    return choices;
}

QStringList ScaleSettingsForm::BaudChoices()
{
    return {QStringLiteral("1200"),  QStringLiteral("2400"),  QStringLiteral("4800"),  QStringLiteral("9600"),
            QStringLiteral("19200"), QStringLiteral("38400"), QStringLiteral("57600"), QStringLiteral("115200")};
}

QStringList ScaleSettingsForm::DataBitsChoices()
{
    return {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8")};
}

QString ScaleSettingsForm::StartText(std::uint8_t start)
{
    if (start >= 14 && start <= 126)
        return QString(QLatin1Char(char(start)));
    return QStringLiteral("0x") + QStringLiteral("%1").arg(start, 2, 16, QLatin1Char('0')).toUpper();
}

std::optional<std::uint8_t> ScaleSettingsForm::ParseStart(const QString &text)
{
    if (text.size() == 1 && text.at(0).unicode() < 128)
        return static_cast<std::uint8_t>(text.at(0).unicode());
    const auto hex = [](QChar c) { return (c >= u'0' && c <= u'9') || (c.toLower() >= u'a' && c.toLower() <= u'f'); };
    if (text.size() == 4 && text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) && hex(text.at(2)) &&
        hex(text.at(3)))
        return static_cast<std::uint8_t>(text.mid(2).toInt(nullptr, 16));
    return std::nullopt;
}

bool ScaleSettingsForm::ParsePort(const QString &text, int &index, QString &device)
{
    const QString t = text.trimmed();
    if (t.startsWith(u'/')) {
        device = t;
        return true;
    }
    const int port = ScaleDevice::PortIndex(t);
    if (port < 0)
        return false;
    index = port;
    device.clear();
    return true;
}

std::optional<int> ScaleSettingsForm::ParseBaud(const QString &text)
{
    bool ok = false;
    const int baud = text.trimmed().toInt(&ok);
    if (!ok || baud <= 0)
        return std::nullopt;
    return baud;
}

QString ScaleSettingsForm::TestWeightText(int grams)
{
    return grams > 0 ? QString::asprintf("%.3f", grams * 0.001) : QStringLiteral("0");
}

} // namespace quarvel
