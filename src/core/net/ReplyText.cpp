#include "net/ReplyText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace quarvel {

namespace {

bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

qsizetype ReplyText::find(const QByteArray &text, char separator, qsizetype from)
{
    for (qsizetype i = std::max<qsizetype>(from, 0); i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == separator)
            return i;
        if (static_cast<unsigned char>(c) & 0x80)
            ++i;
    }
    return -1;
}

int ReplyText::integer(const QByteArray &text, qsizetype from, qsizetype *end)
{
    qsizetype i = std::max<qsizetype>(from, 0);
    while (i < text.size() && isSpace(text.at(i)))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == '+' || text.at(i) == '-'))
        negative = text.at(i++) == '-';
    long long value = 0;
    const qsizetype digits = i;
    for (; i < text.size() && isDigit(text.at(i)); ++i)
        value = std::min<long long>(value * 10 + (text.at(i) - '0'), 1LL << 32);
    if (end)
        *end = i == digits ? std::max<qsizetype>(from, 0) : i;
    value = negative ? -value : value;
    return static_cast<int>(
        std::clamp<long long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

double ReplyText::decimal(const QByteArray &text, qsizetype from)
{
    qsizetype i = std::max<qsizetype>(from, 0);
    while (i < text.size() && isSpace(text.at(i)))
        ++i;
    if (i < text.size() && text.at(i) == '+')
        ++i;
    if (i >= text.size() || text.at(i) == '+')
        return 0;
    double value = 0;
    const char *first = text.constData() + i;
    const char *last = text.constData() + text.size();
    const std::from_chars_result r = std::from_chars(first, last, value, std::chars_format::general);
    if (r.ec != std::errc() || !std::isfinite(value))
        return 0;
    return value;
}

QByteArray ReplyText::cString(const char *bytes, qsizetype length)
{
    qsizetype n = 0;
    while (n < length && bytes[n] != '\0')
        ++n;
    return QByteArray(bytes, n);
}

} // namespace quarvel
