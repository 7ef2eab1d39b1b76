#pragma once

#include <QByteArray>
#include <QString>

namespace quarvel {

// One destination of the base data, with its two search keys, postcode,
// name (the value local records keep in cdes) and country.
struct DestinationEntry {
    enum Field { FirstKey, SecondKey, Postcode, Name, Country };
    // Bytes each field may hold (its fixed width less the terminator).
    static constexpr int kFieldBytes[] = {7, 15, 11, 31, 63};

    // 1-based position in the base data.
    int sequence = 0;
    // 0 大陆, 1 华语, 2 外语.
    quint8 region = 0;
    // The second number of the line, kept as the server sent it.
    quint8 second = 0;
    QByteArray firstKey;
    QByteArray secondKey;
    QByteArray postcode;
    QByteArray name;
    QByteArray country;

    const QByteArray &field(Field f) const;
    QString text(Field f) const;
};

} // namespace quarvel
