#include "RawHttp.h"

#include "text/Gbk.h"

#include <QCryptographicHash>
#include <QDateTime>

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

const QByteArray kUserAgent = "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n";

class Socket {
public:
    Socket() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {}
    ~Socket()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Socket(const Socket &) = delete;
    Socket &operator=(const Socket &) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

} // namespace

int RawReply::status() const
{
    const int space = statusLine.indexOf(' ');
    return space < 0 ? 0 : statusLine.mid(space + 1, 3).toInt();
}

QByteArray RawReply::header(const QByteArray &name) const
{
    for (const QByteArray &line : headers.split('\n')) {
        const int colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

RawHttp::RawHttp(QString address, int port) : address_(std::move(address)), port_(port)
{
}

QByteArray RawHttp::host() const
{
    return address_.toLatin1() + ':' + QByteArray::number(port_);
}

RawReply RawHttp::exchange(const QByteArray &request, int timeoutMs, bool shutDownWriting) const
{
    RawReply reply;
    Socket s;
    if (s.fd() < 0)
        return reply;
    timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    setsockopt(s.fd(), SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    setsockopt(s.fd(), SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(port_));
    inet_pton(AF_INET, address_.toLatin1().constData(), &to.sin_addr);
    if (::connect(s.fd(), reinterpret_cast<sockaddr *>(&to), sizeof to) != 0)
        return reply;
    qsizetype sent = 0;
    while (sent < request.size()) {
        const ssize_t n =
            ::send(s.fd(), request.constData() + sent, static_cast<size_t>(request.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return reply;
        sent += n;
    }
    if (shutDownWriting)
        ::shutdown(s.fd(), SHUT_WR);
    QByteArray all;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::recv(s.fd(), buffer, sizeof buffer, 0);
        if (n == 0)
            break;
        if (n < 0)
            return reply;
        all.append(buffer, n);
    }
    const int end = all.indexOf("\r\n\r\n");
    const int lineEnd = all.indexOf("\r\n");
    if (end < 0 || lineEnd < 0)
        return reply;
    reply.received = true;
    reply.statusLine = all.left(lineEnd);
    reply.headers = all.mid(lineEnd + 2, end - lineEnd);
    reply.body = all.mid(end + 4);
    return reply;
}

QByteArray RawHttp::loginRequest(const QByteArray &site, const QByteArray &account, const QByteArray &digest,
                                 const QByteArray &time) const
{
    return "GET /cgi-bin/VEdiz.dll?KVLogin&w=" + site + "&ac=" + account + "&md5=" + digest + "&it=" + time +
           " HTTP/1.0\r\nAccept: */*\r\nHost: " + host() + "\r\n" + kUserAgent + "\r\n";
}

QByteArray RawHttp::baseDataRequest(const QByteArray &site) const
{
    return "GET /cgi-bin/VEdiz.dll?KVGetSysData&w=" + site + " HTTP/1.0\r\nAccept: */*\r\nHost: " + host() + "\r\n\r\n";
}

QByteArray RawHttp::postRequest(const QByteArray &path, const QByteArray &body) const
{
    return "POST " + path + " HTTP/1.0\r\nAccept: */*\r\nHost: " + host() + "\r\n" + kUserAgent +
           "Content-Length: " + QByteArray::number(body.size()) +
           "\r\nContent-Type: text/xml; charset=gbk\r\nConnection: close\r\n\r\n" + body;
}

RawReply RawHttp::login(const QByteArray &site, const QByteArray &account, const QByteArray &password,
                        std::int64_t time) const
{
    // As the client does: a login of the account took this second already.
    for (int attempt = 0;; ++attempt) {
        const std::int64_t at = time + attempt;
        RawReply r = exchange(loginRequest(site, account, digest(at, password), QByteArray::number(at)));
        if (r.body != "-8\n" || attempt == 9)
            return r;
    }
}

QByteArray RawHttp::digest(std::int64_t time, const QByteArray &password)
{
    return QCryptographicHash::hash(QByteArray::number(time) + "RvnJtb" + password, QCryptographicHash::Md5).toHex();
}

std::int64_t RawHttp::now()
{
    return QDateTime::currentSecsSinceEpoch();
}

QByteArray EnvelopeParts::bytes() const
{
    return "<WER>" + version + "</WER><WCID>" + site + "</WCID><AC>" + account + "</AC><OP>" + op + "</OP><ID>" + id +
           "</ID><NUMBER>" + number + "</NUMBER><LCID>" + locale + "</LCID><RAND>" + session + "</RAND><DATA>" +
           payload + "\a</DATA>\n" + (trailingBel ? "\a" : "");
}

QByteArray sessionOf(const RawReply &login)
{
    const QList<QByteArray> parts = login.body.split('\n').value(0).split(',');
    return parts.size() == 4 ? parts[2] : QByteArray();
}

QByteArray gbk(const char *utf8)
{
    return gbk(QString::fromUtf8(utf8));
}

QByteArray gbk(const QString &text)
{
    return quarvel::Gbk::fromUnicode(text);
}
