#include "net/HttpCookies.h"

namespace quarvel {

namespace {

const QByteArray kSetCookie = QByteArrayLiteral("set-cookie:");

qsizetype findNoCase(const QByteArray &lowerHaystack, const char *needle, qsizetype from = 0)
{
    return lowerHaystack.indexOf(needle, from);
}

} // namespace

std::optional<QByteArray> HttpCookies::fromHeaders(const QByteArray &headers)
{
    const QByteArray lower = headers.toLower();
    qsizetype at = findNoCase(lower, kSetCookie.constData());
    if (at < 0)
        return std::nullopt;
    QByteArray cookies;
    for (; at >= 0; at = findNoCase(lower, kSetCookie.constData(), at + kSetCookie.size())) {
        qsizetype start = at + kSetCookie.size();
        qsizetype end = start;
        while (end < headers.size() && headers.at(end) != '\r' && headers.at(end) != '\n')
            ++end;
        cookies += value(headers.mid(start, end - start));
    }
    if (cookies.size() >= kBufferSize)
        return std::nullopt;
    return cookies;
}

// One header's value: from the first non-blank up to its first attribute
// (blanks before it dropped), or to the first ';'; always ending in ';'.
QByteArray HttpCookies::value(const QByteArray &line)
{
    qsizetype start = 0;
    while (start < line.size() && (line.at(start) == ' ' || line.at(start) == '\t'))
        ++start;
    const QByteArray text = line.mid(start);
    const QByteArray lower = text.toLower();
    qsizetype attribute = -1;
    for (const char *name : {"path=", "domain=", "expires"}) {
        const qsizetype at = lower.indexOf(name);
        if (at >= 0 && (attribute < 0 || at < attribute))
            attribute = at;
    }
    QByteArray result;
    if (attribute >= 0) {
        result = text.left(attribute);
        while (!result.isEmpty() && (result.endsWith(' ') || result.endsWith('\t')))
            result.chop(1);
    } else {
        const qsizetype semicolon = text.indexOf(';');
        result = semicolon >= 0 ? text.left(semicolon) : text;
    }
    if (!result.endsWith(';'))
        result += ';';
    return result;
}

} // namespace quarvel
