#pragma once

#include <QByteArray>
#include <QString>

namespace quarvel {

// UTF-16 little-endian bytes, the text form of the settings files and of the
// exported text lists, independent of the machine's byte order.
class Utf16Le {
public:
    static QByteArray Encode(const QString &text);
    static QString Decode(const char *bytes, qsizetype length);
    static QString Decode(const QByteArray &bytes) { return Decode(bytes.constData(), bytes.size()); }
};

} // namespace quarvel
