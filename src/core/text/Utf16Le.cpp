#include "text/Utf16Le.h"

namespace quarvel {

QByteArray Utf16Le::Encode(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

QString Utf16Le::Decode(const char *bytes, qsizetype length)
{
    QString text;
    text.reserve(length / 2);
    for (qsizetype i = 0; i + 1 < length; i += 2)
        text += QChar(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

} // namespace quarvel
