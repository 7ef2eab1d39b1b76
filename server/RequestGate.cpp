#include "RequestGate.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace quarvel::server {

namespace {

constexpr int kEventsPerWait = 256;
constexpr std::size_t kReadBlock = 16384;
constexpr auto kAcceptPause = std::chrono::milliseconds(100);

const char *reason(int status)
{
    switch (status) {
    case 400:
        return "Bad Request";
    case 411:
        return "Length Required";
    case 413:
        return "Content Too Large";
    case 431:
        return "Request Header Fields Too Large";
    default:
        return "Service Unavailable";
    }
}

// A reply the door gives itself. It is small enough for any socket buffer,
// so one send on the non-blocking socket takes it whole.
void sendStatus(int fd, int status)
{
    const std::string text = reason(status);
    std::string reply = "HTTP/1.1 " + std::to_string(status) + ' ' + text + "\r\nContent-Type: text/plain\r\n";
    if (status == 503)
        reply += "Retry-After: 1\r\n";
    reply += "Content-Length: " + std::to_string(text.size() + 1) + "\r\nConnection: close\r\n\r\n" + text + '\n';
    (void)!::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

std::string dotted(const in_addr &address)
{
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

} // namespace

RequestGate::RequestGate(const Settings &settings, Handler handler)
    : settings_(settings), handler_(std::move(handler)), limits_(settings.maxConnections, settings.maxPerAddress),
      epoll_(::epoll_create1(EPOLL_CLOEXEC)), wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = wake_;
    ::epoll_ctl(epoll_, EPOLL_CTL_ADD, wake_, &event);
}

RequestGate::~RequestGate()
{
    closeAll();
    for (int fd : {listener_, wake_, epoll_})
        if (fd >= 0)
            ::close(fd);
}

int RequestGate::bind(const std::string &address, int port)
{
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    // SO_REUSEADDR only: a port that TIME_WAIT holds is taken again, one that
    // another server listens on is not (SO_REUSEPORT would share it).
    const int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(static_cast<std::uint16_t>(port));
    socklen_t size = sizeof at;
    if (listener_ < 0 || ::inet_pton(AF_INET, address.c_str(), &at.sin_addr) != 1 ||
        ::bind(listener_, reinterpret_cast<sockaddr *>(&at), sizeof at) != 0 || ::listen(listener_, SOMAXCONN) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr *>(&at), &size) != 0)
        return -1;
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = listener_;
    if (::epoll_ctl(epoll_, EPOLL_CTL_ADD, listener_, &event) != 0)
        return -1;
    return ntohs(at.sin_port);
}

bool RequestGate::run()
{
    if (epoll_ < 0 || wake_ < 0 || listener_ < 0)
        return false;
    epoll_event events[kEventsPerWait];
    while (!stopping_) {
        const int n = ::epoll_wait(epoll_, events, kEventsPerWait, waitMs(Clock::now()));
        if (n < 0 && errno != EINTR)
            return false;
        for (int i = 0; i < n && !stopping_; ++i) {
            const int fd = events[i].data.fd;
            if (fd == listener_)
                acceptAll();
            else if (fd != wake_)
                receive(fd);
        }
        const Clock::time_point now = Clock::now();
        expire(now);
        resumeAccepting(now);
    }
    closeAll();
    return true;
}

void RequestGate::stop()
{
    stopping_ = true;
    const std::uint64_t one = 1;
    (void)!::write(wake_, &one, sizeof one);
}

void RequestGate::acceptAll()
{
    for (;;) {
        sockaddr_in from{};
        socklen_t size = sizeof from;
        const int fd = ::accept4(listener_, reinterpret_cast<sockaddr *>(&from), &size, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            admit(fd, from);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        // The waiting connection stays queued; a full descriptor table would
        // wake this loop again and again until a descriptor is free.
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
            pauseAccepting(Clock::now());
        return;
    }
}

void RequestGate::admit(int fd, const sockaddr_in &from)
{
    if (limits_.admit(from.sin_addr.s_addr) != ConnectionLimits::Verdict::Admitted) {
        sendStatus(fd, 503);
        ::close(fd);
        return;
    }
    sockaddr_in local{};
    socklen_t size = sizeof local;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&local), &size);
    const Clock::time_point now = Clock::now();
    Pending pending{{from.sin_addr.s_addr, dotted(from.sin_addr), ntohs(from.sin_port), dotted(local.sin_addr),
                     ntohs(local.sin_port)},
                    {},
                    RequestFraming(settings_.maxHead, settings_.maxBody),
                    now,
                    {},
                    Phase::Head};
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    if (::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event) != 0) {
        limits_.release(from.sin_addr.s_addr);
        ::close(fd);
        return;
    }
    Pending &held = pending_.emplace(fd, std::move(pending)).first->second;
    setDeadline(fd, held, now + settings_.headTime);
}

void RequestGate::receive(int fd)
{
    const auto it = pending_.find(fd);
    if (it == pending_.end())
        return;
    Pending &pending = it->second;
    char block[kReadBlock];
    const ssize_t n = ::recv(fd, block, sizeof block, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
        return;
    // The client closed (or reset) before its request was whole: no reply.
    if (n <= 0) {
        close(fd);
        return;
    }
    // After an answer of the door the rest is read only to be dropped.
    if (pending.phase == Phase::Lingering)
        return;
    pending.bytes.append(block, static_cast<std::size_t>(n));
    judge(fd, pending);
}

void RequestGate::judge(int fd, Pending &pending)
{
    switch (pending.framing.judge(pending.bytes)) {
    case RequestFraming::State::Complete:
        handOver(fd);
        return;
    case RequestFraming::State::Refused:
        answer(fd, pending, pending.framing.status());
        return;
    case RequestFraming::State::More:
        if (pending.phase == Phase::Head && pending.framing.headComplete()) {
            pending.phase = Phase::Body;
            setDeadline(fd, pending, pending.accepted + settings_.requestTime);
        }
        return;
    }
}

void RequestGate::handOver(int fd)
{
    const auto it = pending_.find(fd);
    Pending pending = std::move(it->second);
    deadlines_.erase({pending.deadline, fd});
    pending_.erase(it);
    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
    pending.bytes.resize(pending.framing.length());
    handler_(std::make_unique<ReceivedRequest>(fd, std::move(pending.peer), std::move(pending.bytes), limits_,
                                               settings_.writeTime));
}

void RequestGate::answer(int fd, Pending &pending, int status)
{
    sendStatus(fd, status);
    ::shutdown(fd, SHUT_WR);
    pending.phase = Phase::Lingering;
    pending.bytes.clear();
    pending.bytes.shrink_to_fit();
    setDeadline(fd, pending, Clock::now() + settings_.lingerTime);
}

void RequestGate::expire(Clock::time_point now)
{
    while (!deadlines_.empty() && deadlines_.begin()->first <= now)
        close(deadlines_.begin()->second);
}

void RequestGate::setDeadline(int fd, Pending &pending, Clock::time_point deadline)
{
    deadlines_.erase({pending.deadline, fd});
    pending.deadline = deadline;
    deadlines_.insert({deadline, fd});
}

void RequestGate::close(int fd)
{
    const auto it = pending_.find(fd);
    if (it == pending_.end())
        return;
    deadlines_.erase({it->second.deadline, fd});
    limits_.release(it->second.peer.address);
    pending_.erase(it);
    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
    ::close(fd);
}

void RequestGate::closeAll()
{
    while (!pending_.empty())
        close(pending_.begin()->first);
}

void RequestGate::pauseAccepting(Clock::time_point now)
{
    if (acceptPausedUntil_ != Clock::time_point{})
        return;
    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, listener_, nullptr);
    acceptPausedUntil_ = now + kAcceptPause;
}

void RequestGate::resumeAccepting(Clock::time_point now)
{
    if (acceptPausedUntil_ == Clock::time_point{} || now < acceptPausedUntil_)
        return;
    acceptPausedUntil_ = {};
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = listener_;
    ::epoll_ctl(epoll_, EPOLL_CTL_ADD, listener_, &event);
}

int RequestGate::waitMs(Clock::time_point now) const
{
    Clock::time_point next = Clock::time_point::max();
    if (!deadlines_.empty())
        next = deadlines_.begin()->first;
    if (acceptPausedUntil_ != Clock::time_point{})
        next = std::min(next, acceptPausedUntil_);
    if (next == Clock::time_point::max())
        return -1;
    // Rounded up, so that the wait does not end a moment early and spin.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(next - now).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 60000));
}

} // namespace quarvel::server
