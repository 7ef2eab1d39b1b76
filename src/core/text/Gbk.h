#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

namespace quarvel {

// GBK (code page 936) is the text form of record fields, of files written for
// the server and of everything on the wire; inside the program text is QString.
class Gbk {
public:
    // Converts to GBK. When a character has no GBK form the result is empty and
    // ok (when given) is false, so that nothing is ever stored as "?".
    static QByteArray fromUnicode(const QString &text, bool *ok = nullptr);
    // Converts GBK bytes; an invalid byte sequence becomes U+FFFD, never lost text.
    static QString toUnicode(const char *bytes, std::size_t length);
    static QString toUnicode(const QByteArray &bytes);
    // GBK bytes straight to UTF-8 (for output that leaves the program as
    // UTF-8), with the same replacement of invalid sequences.
    static QByteArray toUtf8(const char *bytes, std::size_t length);
    // The NUL-terminated text of a fixed-width record field.
    template <std::size_t N> static QString field(const char (&f)[N]) { return toUnicode(f, strnlen(f, N)); }
    // Writes text into a fixed-width field: zero-padded, cut at a character
    // boundary so that the last byte is always NUL.
    static void setField(char *field, std::size_t width, const QByteArray &gbk);
    template <std::size_t N> static void setField(char (&f)[N], const QString &text)
    {
        setField(f, N, fromUnicode(text));
    }
    // Length of the longest prefix of at most maxBytes that does not split a
    // double-byte character.
    static std::size_t characterBoundary(const char *bytes, std::size_t length, std::size_t maxBytes);

private:
    static std::size_t strnlen(const char *s, std::size_t n);
};

} // namespace quarvel
