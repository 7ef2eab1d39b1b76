#pragma once

#include <QJsonObject>
#include <QString>

#include <cstddef>
#include <span>

namespace quarvel {

// A description of one field of a packed record, so that listing, editing by
// name and the wire formats can treat every layout the same way.
struct RecordField {
    enum class Kind { Int32, UInt8, Double, Text, Date };

    const char *name;
    std::size_t offset;
    std::size_t size;
    Kind kind;

    static QJsonObject toJson(const void *record, std::span<const RecordField> fields);
    static const RecordField *find(std::span<const RecordField> fields, const QString &name);
    static QJsonValue value(const void *record, const RecordField &field);
    // Sets a number field from its integer or real value.
    static void setNumber(void *record, const RecordField &field, double value);
};

// The date of a record: year, month and day as stored.
#pragma pack(push, 1)
struct RecordDate {
    unsigned short year;
    unsigned char month;
    unsigned char day;
};
#pragma pack(pop)
static_assert(sizeof(RecordDate) == 4);

} // namespace quarvel

#define QUARVEL_FIELD(Type, member, kind)                                                                              \
    quarvel::RecordField                                                                                               \
    {                                                                                                                  \
#member, offsetof(Type, member), sizeof(Type::member), quarvel::RecordField::Kind::kind                        \
    }
