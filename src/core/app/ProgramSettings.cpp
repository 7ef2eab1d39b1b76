#include "app/ProgramSettings.h"
#include "storage/FileReplace.h"

#include "text/Utf16Le.h"

#include <QFile>

#include <cstring>

namespace quarvel {

const ProgramSettings::Field ProgramSettings::kFields[12] = {
    {&ProgramSettings::origin, 4, 128, 63},      {&ProgramSettings::senderName, 132, 64, 30},
    {&ProgramSettings::department, 196, 64, 30}, {&ProgramSettings::phone, 260, 128, 63},
    {&ProgramSettings::postcode, 388, 32, 15},   {&ProgramSettings::company, 420, 256, 127},
    {&ProgramSettings::address, 676, 256, 127},  {&ProgramSettings::country, 932, 128, 63},
    {&ProgramSettings::province, 1060, 64, 30},  {&ProgramSettings::city, 1124, 64, 30},
    {&ProgramSettings::mail, 1188, 128, 63},     {&ProgramSettings::sms, 1316, 48, 22},
};

QByteArray ProgramSettings::ToBytes() const
{
    QByteArray bytes(kFileSize, '\0');
    const qint32 number = programNumber;
    std::memcpy(bytes.data(), &number, 4);
    for (const Field &f : kFields) {
        // Room for the terminator is always left.
        const QByteArray text = Utf16Le::Encode((this->*f.member).left(f.bytes / 2 - 1));
        bytes.replace(f.offset, text.size(), text);
    }
    return bytes;
}

void ProgramSettings::FromBytes(const QByteArray &bytes)
{
    *this = ProgramSettings();
    if (bytes.size() != kFileSize)
        return;
    qint32 number = 0;
    std::memcpy(&number, bytes.constData(), 4);
    programNumber = number;
    for (const Field &f : kFields) {
        // A field without its terminator is not a text the dialog wrote.
        const QString text = Utf16Le::Decode(bytes.constData() + f.offset, f.bytes);
        const qsizetype end = text.indexOf(QChar(0));
        this->*f.member = end < 0 ? QString() : text.left(end);
    }
}

QString ProgramSettings::Load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        FromBytes(QByteArray());
        return {};
    }
    const QByteArray bytes = file.read(kFileSize + 1);
    FromBytes(bytes);
    if (bytes.size() != kFileSize)
        return QStringLiteral("文件长度是 %1 字节，应为 %2 字节；全部设置已改用默认值。")
            .arg(file.size())
            .arg(kFileSize);
    programNumber = NormalisedProgramNumber(programNumber);
    return Damage(bytes);
}

QString ProgramSettings::Damage(const QByteArray &bytes)
{
    if (bytes.size() != kFileSize)
        return QStringLiteral("文件长度是 %1 字节，应为 %2 字节。").arg(bytes.size()).arg(kFileSize);
    qint32 number = 0;
    std::memcpy(&number, bytes.constData(), 4);
    if (NormalisedProgramNumber(number) != number)
        return QStringLiteral("程序编号是 %1，不在 0-9 之间；已改用 0。").arg(number);
    for (const Field &f : kFields) {
        const QString text = Utf16Le::Decode(bytes.constData() + f.offset, f.bytes);
        if (!text.contains(QChar(0)))
            return QStringLiteral("第 %1 字节起的一项没有结束符；该项已清空。").arg(f.offset);
    }
    return {};
}

bool ProgramSettings::Save(const QString &path) const
{
    return FileReplace::Write(path, ToBytes());
}

} // namespace quarvel
