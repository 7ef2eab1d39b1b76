#include "net/HttpTransport.h"

#include "net/HttpConnection.h"
#include "net/HttpCookies.h"

#include <algorithm>
#include <cstring>

namespace quarvel {

namespace {

const QByteArray kUserAgent = QByteArrayLiteral("User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n");

// The Content-Length of a header block read as atoi reads it; 0 when absent.
long long contentLength(const char *headers)
{
    const char *at = std::strstr(headers, "Content-Length: ");
    if (!at)
        return 0;
    const char *p = at + 16;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    long long n = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (n < 1'000'000'000'000LL)
            n = n * 10 + (*p - '0');
    return negative ? -n : n;
}

// Reads the body into the buffer's start: at most `length` bytes, fewer when
// the peer closes. NUL-terminates and returns the count.
int readBody(HttpConnection &connection, std::span<char> buffer, std::size_t length)
{
    std::size_t n = 0;
    char c = 0;
    while (n < length && connection.read(c))
        buffer[n++] = c;
    buffer[n] = '\0';
    return static_cast<int>(n);
}

QByteArray postHeader(const QByteArray &host, const QByteArray &path, qsizetype bodyLength)
{
    return "POST " + path + " HTTP/1.0\r\nAccept: */*\r\nHost: " + host + "\r\n" + kUserAgent +
           "Content-Length: " + QByteArray::number(bodyLength) +
           "\r\nContent-Type: text/xml; charset=gbk\r\nConnection: close\r\n\r\n";
}

QByteArray getRequest(const QByteArray &host, const QByteArray &path, const QByteArray &referer,
                      const QByteArray &cookie)
{
    QByteArray request = "GET " + path + " HTTP/1.0\r\nAccept: */*\r\nHost: " + host + "\r\n";
    if (!referer.isEmpty())
        request += "Referer: " + referer + "\r\n";
    request += kUserAgent;
    if (!cookie.isEmpty())
        request += "Cookie: " + cookie + "\r\n";
    return request + "\r\n";
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The part at p begins with a digit and its number is below 256.
bool partBelow256(const char *p)
{
    if (!isDigit(*p))
        return false;
    int value = 0;
    for (; isDigit(*p); ++p)
        value = std::min(value * 10 + (*p - '0'), 1000);
    return value < 256;
}

} // namespace

int HttpPost(const QByteArray &host, const QByteArray &path, const QByteArray &body, std::span<char> buffer,
             const HttpTimeouts &timeouts)
{
    if (buffer.size() < 3)
        return kPostOptionFailed;
    HttpConnection connection;
    switch (connection.open(host, 80, timeouts.postMs, timeouts.connectMs)) {
    case HttpConnection::Open::Ok:
        break;
    case HttpConnection::Open::NoSocket:
        return kPostNoSocket;
    case HttpConnection::Open::NoAddress:
        return kPostNoAddress;
    case HttpConnection::Open::OptionFailed:
        return kPostOptionFailed;
    case HttpConnection::Open::NotConnected:
        return kPostNotConnected;
    }
    // The body is sent up to its first NUL, as a NUL-terminated text would be.
    const QByteArray text(body.constData(), static_cast<qsizetype>(qstrnlen(body.constData(), body.size())));
    connection.send(postHeader(host, path, text.size()));
    connection.send(text);

    const std::size_t len = buffer.size();
    const std::size_t limit = len - 2;
    const std::size_t lineEnd = connection.readStatusLine(buffer, limit);
    if (!std::strstr(buffer.data(), "200"))
        return kPostBadStatus;
    connection.readHeaderBlock(buffer, lineEnd, limit);
    const long long declared = contentLength(buffer.data());
    const std::size_t length =
        declared <= 0 || declared >= static_cast<long long>(len) ? len - 1 : static_cast<std::size_t>(declared);
    return readBody(connection, buffer, length);
}

int HttpGet(const QByteArray &host, const QByteArray &path, std::span<char> buffer, QByteArray &cookie,
            const QByteArray &referer, int port, const HttpTimeouts &timeouts)
{
    if (buffer.size() < 2)
        return kGetNotConnected;
    HttpConnection connection;
    switch (connection.open(host, port, timeouts.getMs, timeouts.connectMs)) {
    case HttpConnection::Open::Ok:
        break;
    case HttpConnection::Open::NoSocket:
        return kGetNoSocket;
    case HttpConnection::Open::NoAddress:
        return kGetNoAddress;
    case HttpConnection::Open::OptionFailed:
    case HttpConnection::Open::NotConnected:
        return kGetNotConnected;
    }
    connection.send(getRequest(host, path, referer, cookie));

    const std::size_t limit = buffer.size() - 1;
    std::memset(buffer.data(), 0, buffer.size());
    connection.readStatusLine(buffer, limit);
    if (!std::strstr(buffer.data(), "20") && !std::strstr(buffer.data(), "30"))
        return kGetBadStatus;
    connection.readHeaderBlock(buffer, 0, limit);
    if (const std::optional<QByteArray> fresh = HttpCookies::fromHeaders(QByteArray(buffer.data())))
        cookie = *fresh;
    return readBody(connection, buffer, limit);
}

bool IsIpAddress(const char *text)
{
    const std::size_t length = std::strlen(text);
    if (length < 7 || length > 15)
        return false;
    int dots = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == '.')
            ++dots;
        else if (!isDigit(text[i]))
            return false;
    }
    if (dots != 3 || !partBelow256(text))
        return false;
    for (const char *dot = std::strchr(text, '.'); dot; dot = std::strchr(dot + 1, '.'))
        if (!partBelow256(dot + 1))
            return false;
    return true;
}

bool IsIpAddress(const QByteArray &text)
{
    return IsIpAddress(text.constData());
}

} // namespace quarvel
