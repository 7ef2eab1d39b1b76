#include "ReceivedRequest.h"

#include "ConnectionLimits.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quarvel::server {

thread_local ReceivedRequest *ReceivedRequest::current_ = nullptr;

ReceivedRequest::ReceivedRequest(int fd, Peer peer, std::string bytes, ConnectionLimits &limits,
                                 std::chrono::milliseconds writeTime)
    : fd_(fd), peer_(std::move(peer)), bytes_(std::move(bytes)), limits_(limits), writeTime_(writeTime)
{
}

ReceivedRequest::~ReceivedRequest()
{
    ::close(fd_);
    limits_.release(peer_.address);
}

bool ReceivedRequest::is_readable() const
{
    return read_ < bytes_.size();
}

bool ReceivedRequest::is_writable() const
{
    return !dropped_;
}

ssize_t ReceivedRequest::read(char *ptr, size_t size)
{
    const std::size_t n = std::min(size, bytes_.size() - read_);
    std::memcpy(ptr, bytes_.data() + read_, n);
    read_ += n;
    return static_cast<ssize_t>(n);
}

ssize_t ReceivedRequest::write(const char *ptr, size_t size)
{
    if (dropped_)
        return -1;
    // The whole reply shares one deadline from its first byte.
    if (writeDeadline_ == std::chrono::steady_clock::time_point{})
        writeDeadline_ = std::chrono::steady_clock::now() + writeTime_;
    std::size_t sent = 0;
    while (sent < size) {
        const ssize_t n = ::send(fd_, ptr + sent, size - sent, MSG_NOSIGNAL);
        if (n > 0)
            sent += static_cast<std::size_t>(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && waitWritable())
            continue;
        else
            return -1;
    }
    return static_cast<ssize_t>(sent);
}

bool ReceivedRequest::waitWritable()
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(writeDeadline_ - std::chrono::steady_clock::now());
    if (left.count() <= 0)
        return false;
    pollfd p{fd_, POLLOUT, 0};
    int r = 0;
    do {
        r = ::poll(&p, 1, static_cast<int>(left.count()));
    } while (r < 0 && errno == EINTR);
    return r > 0 && (p.revents & POLLOUT);
}

void ReceivedRequest::get_remote_ip_and_port(std::string &ip, int &port) const
{
    ip = peer_.ip;
    port = peer_.port;
}

void ReceivedRequest::get_local_ip_and_port(std::string &ip, int &port) const
{
    ip = peer_.localIp;
    port = peer_.localPort;
}

void ReceivedRequest::drop()
{
    dropped_ = true;
    ::shutdown(fd_, SHUT_RDWR);
}

} // namespace quarvel::server
