#include "app/ProgramSettings.h"

#include "text/Utf16Le.h"

#include <QFile>
#include <QSaveFile>

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
        const QString text = Utf16Le::Decode(bytes.constData() + f.offset, f.bytes);
        this->*f.member = text.left(text.indexOf(QChar(0)));
    }
}

void ProgramSettings::Load(const QString &path)
{
    QFile file(path);
    FromBytes(file.open(QIODevice::ReadOnly) && file.size() == kFileSize ? file.readAll() : QByteArray());
}

bool ProgramSettings::Save(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(ToBytes());
    return file.commit();
}

} // namespace quarvel
