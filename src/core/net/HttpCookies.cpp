#include "net/HttpCookies.h"

namespace quarvel {

namespace {

const QByteArray kSetCookie = QByteArrayLiteral("set-cookie:");

} // namespace

std::optional<QByteArray> HttpCookies::fromHeaders(const QByteArray &headers)
{
    std::optional<QByteArray> cookies;
    qsizetype start = 0;
    while (start < headers.size()) {
        qsizetype end = headers.indexOf('\n', start);
        if (end < 0)
            end = headers.size();
        QByteArray line = headers.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.size() >= kSetCookie.size() && line.left(kSetCookie.size()).toLower() == kSetCookie) {
            if (!cookies)
                cookies.emplace();
            *cookies += value(line.mid(kSetCookie.size()));
        }
        start = end + 1;
    }
    if (cookies && cookies->size() >= kBufferSize)
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
