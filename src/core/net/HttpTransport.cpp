#include "net/HttpTransport.h"

#include "net/HttpConnection.h"
#include "net/HttpReply.h"
#include "net/ReplyText.h"

#include <algorithm>
#include <cstring>

namespace quarvel {

namespace {

const QByteArray kUserAgent = QByteArrayLiteral("User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n");

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
    switch (connection.open(host, 80, timeouts.postMs, timeouts.connectMs, timeouts.requestMs)) {
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
    return HttpReply::ReadPost(connection, buffer);
}

int HttpGet(const QByteArray &host, const QByteArray &path, std::span<char> buffer, QByteArray &cookie,
            const QByteArray &referer, int port, const HttpTimeouts &timeouts)
{
    if (buffer.size() < 2)
        return kGetNotConnected;
    HttpConnection connection;
    switch (connection.open(host, port, timeouts.getMs, timeouts.connectMs, timeouts.requestMs)) {
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
    return HttpReply::ReadGet(connection, buffer, cookie);
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

QByteArray RedirectAddress(const QByteArray &reply)
{
    const QByteArray named = ReplyText::cString(reply.constData(), reply.size());
    return IsIpAddress(named) ? named : QByteArray();
}

} // namespace quarvel
