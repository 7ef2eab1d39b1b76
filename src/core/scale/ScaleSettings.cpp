#include "scale/ScaleSettings.h"
#include "storage/FileReplace.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>

namespace quarvel {

namespace {

enum Offset {
    OffEnabled = 0,
    OffType = 4,
    OffDataBits = 5,
    OffDataLength = 6,
    OffStopBits = 7,
    OffStart = 8,
    OffTransmission = 10,
    OffParity = 11,
    OffPort = 12,
    OffBaud = 16
};

qint32 int32At(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

void putInt32(QByteArray &bytes, int offset, qint32 value)
{
    qToLittleEndian<qint32>(value, bytes.data() + offset);
}

std::uint8_t byteAt(const QByteArray &bytes, int offset)
{
    return static_cast<std::uint8_t>(bytes.at(offset));
}

} // namespace

ScaleSettings::LoadResult ScaleSettings::Load(const QString &path)
{
    *this = ScaleSettings();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LoadResult::Missing;
    // One byte more than the layout tells a long file from a right one
    // without reading all of it.
    return FromBytes(file.read(kFileSize + 1)) ? LoadResult::Loaded : LoadResult::WrongSize;
}

bool ScaleSettings::Save(const QString &path) const
{
    return FileReplace::Write(path, ToBytes());
}

QByteArray ScaleSettings::ToBytes() const
{
    QByteArray bytes = raw_;
    putInt32(bytes, OffEnabled, enabled);
    bytes[OffType] = static_cast<char>(type);
    bytes[OffDataBits] = static_cast<char>(dataBits);
    bytes[OffDataLength] = static_cast<char>(dataLength);
    bytes[OffStopBits] = static_cast<char>(stopBits);
    bytes[OffStart] = static_cast<char>(startChar);
    bytes[OffTransmission] = static_cast<char>(transmission);
    bytes[OffParity] = static_cast<char>(parity);
    putInt32(bytes, OffPort, port);
    putInt32(bytes, OffBaud, baud);
    return bytes;
}

bool ScaleSettings::FromBytes(const QByteArray &bytes)
{
    *this = ScaleSettings();
    if (bytes.size() != kFileSize)
        return false;
    raw_ = bytes;
    enabled = int32At(bytes, OffEnabled);
    type = byteAt(bytes, OffType);
    dataBits = byteAt(bytes, OffDataBits);
    dataLength = byteAt(bytes, OffDataLength);
    stopBits = byteAt(bytes, OffStopBits);
    startChar = byteAt(bytes, OffStart);
    transmission = byteAt(bytes, OffTransmission);
    parity = byteAt(bytes, OffParity);
    port = int32At(bytes, OffPort);
    baud = int32At(bytes, OffBaud);
    return true;
}

QString ScaleSettings::SettingsString() const
{
    return QStringLiteral("baud=%1 data=%2 parity=%3 stop=%4")
        .arg(baud)
        .arg(dataBits)
        .arg(parityLetter())
        .arg(stopBitsText());
}

int ScaleSettings::FrameThreshold() const
{
    return std::clamp(2 * int(dataLength), 1, kMaxThreshold);
}

bool ScaleSettings::isPlainText() const
{
    return IsPlainText(type);
}

bool ScaleSettings::IsPlainText(int type)
{
    return type == KilogramsReversed || type == Kilograms || type == GramsReversed || type == Grams;
}

bool ScaleSettings::HasStatus(int type)
{
    return type == StatusLines || type == StxEtx || type == Toledo;
}

QChar ScaleSettings::parityLetter() const
{
    static const char letters[] = {'N', 'O', 'E', 'M'};
    return QLatin1Char(parity < 4 ? letters[parity] : '?');
}

QString ScaleSettings::stopBitsText() const
{
    const QStringList names = StopBitsNames();
    return stopBits < names.size() ? names.at(stopBits) : QStringLiteral("?");
}

QStringList ScaleSettings::TypeNames()
{
    return {QStringLiteral("0-型(公斤颠倒序)"), QStringLiteral("1-型(公斤正常序)"),
            QStringLiteral("2-BCD(6B3D)"),      QStringLiteral("3-型(克颠倒序)"),
            QStringLiteral("4-型(克正常序)"),   QStringLiteral("5-状态单位型(ST,GS,+1.250kg)"),
            QStringLiteral("6-STX/ETX带校验"),  QStringLiteral("7-STX连续(3状态字+重量+皮重)")};
}

QStringList ScaleSettings::ParityNames()
{
    return {QStringLiteral("N-无校验"), QStringLiteral("O-奇校验"), QStringLiteral("E-偶校验"),
            QStringLiteral("M-标记校验")};
}

QStringList ScaleSettings::StopBitsNames()
{
    return {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")};
}

QStringList ScaleSettings::TransmissionNames()
{
    return {QStringLiteral("连续"), QStringLiteral("稳定/按按键")};
}

QString ScaleSettings::WrongSizeText(qint64 size)
{
    return QStringLiteral("电子秤设置文件 %1 的大小不对（%2 字节，应为 %3 字节），已改用默认设置。")
        .arg(fileName())
        .arg(size)
        .arg(kFileSize);
}

} // namespace quarvel
