#include "storage/RecordField.h"

#include "text/Gbk.h"

#include <QJsonValue>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace quarvel {

QJsonValue RecordField::value(const void *record, const RecordField &field)
{
    const char *p = static_cast<const char *>(record) + field.offset;
    switch (field.kind) {
    case Kind::Int32: {
        std::int32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    case Kind::UInt8:
        return static_cast<unsigned char>(*p);
    case Kind::Double: {
        double v;
        std::memcpy(&v, p, 8);
        return v;
    }
    case Kind::Text:
        return Gbk::toUnicode(p, strnlen(p, field.size));
    case Kind::Date: {
        RecordDate d;
        std::memcpy(&d, p, sizeof d);
        return QStringLiteral("%1.%2.%3")
            .arg(d.year, 4, 10, QLatin1Char('0'))
            .arg(d.month, 2, 10, QLatin1Char('0'))
            .arg(d.day, 2, 10, QLatin1Char('0'));
    }
    }
    return {};
}

QJsonObject RecordField::toJson(const void *record, std::span<const RecordField> fields)
{
    QJsonObject o;
    for (const RecordField &f : fields)
        o.insert(QString::fromLatin1(f.name), value(record, f));
    return o;
}

const RecordField *RecordField::find(std::span<const RecordField> fields, const QString &name)
{
    for (const RecordField &f : fields)
        if (name == QLatin1String(f.name))
            return &f;
    return nullptr;
}

void RecordField::setNumber(void *record, const RecordField &field, double value)
{
    char *p = static_cast<char *>(record) + field.offset;
    switch (field.kind) {
    case Kind::Int32: {
        const std::int32_t v = static_cast<std::int32_t>(std::llround(value));
        std::memcpy(p, &v, 4);
        break;
    }
    case Kind::UInt8:
        *p = static_cast<char>(static_cast<unsigned char>(std::llround(value)));
        break;
    case Kind::Double:
        std::memcpy(p, &value, 8);
        break;
    case Kind::Text:
    case Kind::Date:
        break;
    }
}

} // namespace quarvel
