#include "net/HttpReplyHead.h"

#include <QByteArray>
#include <QList>

#include <cstring>

namespace quarvel {

namespace {

constexpr long long kLengthCap = 1'000'000'000'000LL;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A declared length: digits only; anything else is no length at all.
std::optional<long long> lengthValue(const QByteArray &value)
{
    if (value.isEmpty())
        return std::nullopt;
    long long n = 0;
    for (char c : value) {
        if (!isDigit(c))
            return std::nullopt;
        n = std::min(n * 10 + (c - '0'), kLengthCap);
    }
    return n;
}

} // namespace

int HttpReplyHead::statusCode(const char *statusLine)
{
    if (std::strncmp(statusLine, "HTTP/1.0 ", 9) != 0 && std::strncmp(statusLine, "HTTP/1.1 ", 9) != 0)
        return -1;
    const char *code = statusLine + 9;
    if (!isDigit(code[0]) || !isDigit(code[1]) || !isDigit(code[2]))
        return -1;
    const char after = code[3];
    if (after != '\0' && after != ' ' && after != '\r')
        return -1;
    if (after == '\r' && code[4] != '\0')
        return -1;
    return (code[0] - '0') * 100 + (code[1] - '0') * 10 + (code[2] - '0');
}

HttpReplyHead HttpReplyHead::parse(const char *headers)
{
    HttpReplyHead head;
    for (const QByteArray &line : QByteArray(headers).split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "transfer-encoding" || name == "content-encoding") {
            if (value.toLower() != "identity")
                head.framingSpoken = false;
        } else if (name == "content-length") {
            const std::optional<long long> length = lengthValue(value);
            if (!length || (head.contentLength && *head.contentLength != *length))
                head.framingSpoken = false;
            head.contentLength = length;
        }
    }
    if (!head.framingSpoken)
        head.contentLength.reset();
    return head;
}

} // namespace quarvel
