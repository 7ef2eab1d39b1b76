#include "net/HttpConnection.h"

#include "net/HostAddress.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quarvel {

namespace {

bool setNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL, 0);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// A host name is visible ASCII only. The name is also the Host header, so a
// NUL, a line break or a blank in it would let the bytes after it into the
// request as headers of their own.
bool isHostName(const QByteArray &name)
{
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c < '\x7f'; });
}

bool resolve(const HostAddress &host, sockaddr_in &address)
{
    if (!isHostName(host.name) || host.port <= 0)
        return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (::getaddrinfo(host.name.constData(), nullptr, &hints, &found) != 0 || !found)
        return false;
    std::memcpy(&address, found->ai_addr, sizeof address);
    ::freeaddrinfo(found);
    address.sin_port = htons(static_cast<uint16_t>(host.port));
    return true;
}

// Polls one descriptor; true when it became ready in time.
bool pollFor(int fd, short events, int ms)
{
    pollfd p{fd, events, 0};
    int r = 0;
    do {
        r = ::poll(&p, 1, ms);
    } while (r < 0 && errno == EINTR);
    return r > 0;
}

} // namespace

HttpConnection::~HttpConnection()
{
    close();
}

int HttpConnection::remainingMs(int waitMs) const
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - std::chrono::steady_clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, std::max(waitMs, 0)));
}

bool HttpConnection::waitFor(short events)
{
    if (pollFor(fd_, events, remainingMs(ioTimeoutMs_)))
        return true;
    timedOut_ = true;
    return false;
}

HttpConnection::Open HttpConnection::open(const QByteArray &host, int defaultPort, int ioTimeoutMs, int connectMs,
                                          int deadlineMs)
{
    close();
    record_.Start(host);
    deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(deadlineMs, 0));
    ioTimeoutMs_ = ioTimeoutMs;
    timedOut_ = false;
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0)
        return failed(Open::NoSocket);
    sockaddr_in address{};
    if (!resolve(HostAddress::parse(host, defaultPort), address)) {
        return failed(Open::NoAddress);
    }
    if (!setNonBlocking(fd_)) {
        return failed(Open::OptionFailed);
    }
    if (::connect(fd_, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 && errno != EINPROGRESS) {
        return failed(Open::NotConnected);
    }
    // A connection the peer refused fails here at once instead of being
    // taken for a server that answered nothing.
    int error = 0;
    socklen_t size = sizeof error;
    if (!pollFor(fd_, POLLOUT, remainingMs(connectMs)) || ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &size) != 0 ||
        error != 0) {
        return failed(Open::NotConnected);
    }
    return Open::Ok;
}

HttpConnection::Open HttpConnection::failed(Open why)
{
    static const char *const names[] = {"ok", "no socket", "no address", "socket option failed", "not connected"};
    record_.Finish(QString::fromLatin1(names[static_cast<int>(why)]));
    close();
    return why;
}

void HttpConnection::send(const QByteArray &bytes)
{
    record_.Sent(bytes);
    qsizetype sent = 0;
    while (fd_ >= 0 && sent < bytes.size()) {
        const ssize_t n =
            ::send(fd_, bytes.constData() + sent, static_cast<std::size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && waitFor(POLLOUT))
            continue;
        if (n <= 0)
            return;
        sent += n;
    }
}

bool HttpConnection::fill()
{
    while (fd_ >= 0 && !timedOut_) {
        const ssize_t n = ::recv(fd_, block_, sizeof block_, 0);
        if (n > 0) {
            record_.Received(block_, static_cast<std::size_t>(n));
            blockUsed_ = static_cast<std::size_t>(n);
            blockRead_ = 0;
            return true;
        }
        if (n == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK))
            return false;
        if (errno != EINTR && !waitFor(POLLIN))
            return false;
    }
    return false;
}

bool HttpConnection::read(char &byte)
{
    if (blockRead_ == blockUsed_ && !fill())
        return false;
    byte = block_[blockRead_++];
    return true;
}

void HttpConnection::close()
{
    if (fd_ >= 0) {
        ::close(fd_);
        record_.Finish(QString(), timedOut_);
    }
    fd_ = -1;
    blockUsed_ = blockRead_ = 0;
}

} // namespace quarvel
