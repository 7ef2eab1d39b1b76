#include "scale/ScaleDevice.h"
#include "storage/FileReplace.h"

#include <QFile>
#include <QRegularExpression>
#include <QSerialPortInfo>

namespace quarvel {

void ScaleDevice::Load(const QString &path)
{
    chosen.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    // A path is one short line; more is not a path.
    chosen = QString::fromUtf8(file.readLine(4096)).trimmed();
}

bool ScaleDevice::Save(const QString &path) const
{
    if (chosen.trimmed().isEmpty())
        return !QFile::exists(path) || QFile::remove(path);
    return FileReplace::Write(path, chosen.trimmed().toUtf8() + '\n');
}

QString ScaleDevice::DeviceFor(const ScaleSettings &settings) const
{
    return chosen.trimmed().isEmpty() ? PortDevice(settings.port) : chosen.trimmed();
}

QString ScaleDevice::PortDevice(int index)
{
    return index >= 0 && index < kPortLimit ? QStringLiteral("/dev/ttyS%1").arg(index) : QString();
}

QString ScaleDevice::PortName(int index)
{
    return QStringLiteral("COM%1").arg(index + 1);
}

int ScaleDevice::PortIndex(const QString &name)
{
    static const QRegularExpression com(QStringLiteral("^COM([0-9]{1,4})$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = com.match(name.trimmed());
    if (!m.hasMatch())
        return -1;
    const int index = m.captured(1).toInt() - 1;
    return index >= 0 && index < kPortLimit ? index : -1;
}

QStringList ScaleDevice::SystemPorts()
{
    QStringList ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        ports.append(info.systemLocation());
    ports.sort();
    return ports;
}

} // namespace quarvel
