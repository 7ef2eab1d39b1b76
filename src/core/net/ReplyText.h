#pragma once

#include <QByteArray>

namespace quarvel {

// Reading the server's GBK reply text. Every function stays inside the given
// text, whatever bytes the server sent.
class ReplyText {
public:
    static constexpr char kBel = '\a';

    // Position of the first `separator` at or after `from`, stepping over
    // double-byte characters (a byte with the high bit set and the byte after
    // it), so a trail byte is never taken for a separator; -1 when none.
    static qsizetype find(const QByteArray &text, char separator, qsizetype from = 0);
    // The decimal integer at `from` as atoi reads it (leading white space,
    // optional sign, digits; 0 without digits), held to the int range.
    // `end` receives the position after the last character used.
    static int integer(const QByteArray &text, qsizetype from = 0, qsizetype *end = nullptr);
    // The decimal number at `from` as atof reads it; 0 without one.
    static double decimal(const QByteArray &text, qsizetype from = 0);
    // The text up to its first NUL, as a C string would be read.
    static QByteArray cString(const char *bytes, qsizetype length);
};

} // namespace quarvel
