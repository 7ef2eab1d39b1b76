#include "net/HttpConnection.h"

#include "net/HostAddress.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace quarvel {

namespace {

bool setTimeouts(int fd, int ms)
{
    timeval tv{};
    tv.tv_sec = ms / 1000;
    tv.tv_usec = (ms % 1000) * 1000;
    return ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv) == 0 &&
           ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) == 0;
}

bool setBlocking(int fd, bool blocking)
{
    const int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags < 0)
        return false;
    return ::fcntl(fd, F_SETFL, blocking ? flags & ~O_NONBLOCK : flags | O_NONBLOCK) == 0;
}

bool resolve(const HostAddress &host, sockaddr_in &address)
{
    if (host.name.isEmpty() || host.port <= 0)
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

// Waits until the connection is established. A connection the peer refused
// fails here at once instead of being taken for a server that answered nothing.
bool waitConnected(int fd, int connectMs)
{
    pollfd p{fd, POLLOUT, 0};
    int r = 0;
    do {
        r = ::poll(&p, 1, connectMs);
    } while (r < 0 && errno == EINTR);
    if (r <= 0)
        return false;
    int error = 0;
    socklen_t size = sizeof error;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

} // namespace

HttpConnection::~HttpConnection()
{
    close();
}

HttpConnection::Open HttpConnection::open(const QByteArray &host, int defaultPort, int ioTimeoutMs, int connectMs)
{
    close();
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0)
        return Open::NoSocket;
    sockaddr_in address{};
    if (!resolve(HostAddress::parse(host, defaultPort), address)) {
        close();
        return Open::NoAddress;
    }
    if (!setTimeouts(fd_, ioTimeoutMs) || !setBlocking(fd_, false)) {
        close();
        return Open::OptionFailed;
    }
    if (::connect(fd_, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 && errno != EINPROGRESS) {
        close();
        return Open::NotConnected;
    }
    if (!waitConnected(fd_, connectMs)) {
        close();
        return Open::NotConnected;
    }
    if (!setBlocking(fd_, true)) {
        close();
        return Open::OptionFailed;
    }
    return Open::Ok;
}

void HttpConnection::send(const QByteArray &bytes)
{
    qsizetype sent = 0;
    while (fd_ >= 0 && sent < bytes.size()) {
        const ssize_t n =
            ::send(fd_, bytes.constData() + sent, static_cast<std::size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        sent += n;
    }
}

bool HttpConnection::fill()
{
    if (fd_ < 0)
        return false;
    ssize_t n = 0;
    do {
        n = ::recv(fd_, block_, sizeof block_, 0);
    } while (n < 0 && errno == EINTR);
    if (n <= 0)
        return false;
    blockUsed_ = static_cast<std::size_t>(n);
    blockRead_ = 0;
    return true;
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
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    blockUsed_ = blockRead_ = 0;
}

std::size_t HttpConnection::readStatusLine(std::span<char> buffer, std::size_t limit)
{
    std::size_t i = 0;
    char c = 0;
    while (i < limit && read(c)) {
        buffer[i] = c;
        if (c == '\n')
            break;
        ++i;
    }
    buffer[i] = '\0';
    return i;
}

std::size_t HttpConnection::readHeaderBlock(std::span<char> buffer, std::size_t start, std::size_t limit)
{
    std::size_t pos = start;
    std::size_t previous = start;
    char c = 0;
    while (pos < limit && read(c)) {
        buffer[pos++] = c;
        if (c != '\n')
            continue;
        if (pos - 1 - previous < 5)
            break;
        previous = pos - 1;
    }
    buffer[pos] = '\0';
    return pos;
}

} // namespace quarvel
