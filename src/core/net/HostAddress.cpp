#include "net/HostAddress.h"

namespace quarvel {

namespace {

// The port after the last colon, or 0 when there is none or it is not valid.
int trailingPort(const QByteArray &text, qsizetype *colon)
{
    *colon = text.lastIndexOf(':');
    if (*colon < 0)
        return 0;
    const QByteArray digits = text.mid(*colon + 1);
    if (digits.isEmpty() || digits.size() > 5)
        return -1;
    int port = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return -1;
        port = port * 10 + (c - '0');
    }
    return port >= 1 && port <= 65535 ? port : -1;
}

} // namespace

HostAddress HostAddress::parse(const QByteArray &text, int defaultPort)
{
    qsizetype colon = -1;
    const int port = trailingPort(text, &colon);
    if (port > 0)
        return {text.left(colon), port};
    return {text, port == 0 ? defaultPort : 0};
}

QByteArray HostAddress::portSuffix(const QByteArray &text)
{
    qsizetype colon = -1;
    return trailingPort(text, &colon) > 0 ? text.mid(colon) : QByteArray();
}

} // namespace quarvel
