#pragma once

#include "ConnectionLimits.h"
#include "ReceivedRequest.h"
#include "RequestFraming.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>

struct sockaddr_in;

namespace quarvel::server {

// The server's door: one thread takes every connection and reads its
// request as bytes arrive (epoll), so a client that sends slowly or not at
// all costs a descriptor and a buffer, never a thread. A request that is
// in whole goes to the handler; the others are held to their limits:
// - connections in all and from one address (ConnectionLimits); beyond
//   them a new connection is answered 503 and closed at once;
// - the whole head must arrive within headTime of the connection, the whole
//   request within requestTime, however steadily its bytes trickle in;
//   otherwise the connection is closed without a reply;
// - a head whose length cannot be known or is too long is answered at once
//   (RequestFraming) and the connection closed after a short wait for the
//   rest of what the client sends, so that the answer is not lost to a reset.
class RequestGate {
public:
    using Clock = std::chrono::steady_clock;
    struct Settings {
        std::size_t maxConnections = 4000;
        std::size_t maxPerAddress = 128;
        std::chrono::milliseconds headTime{5000};
        std::chrono::milliseconds requestTime{30000};
        std::chrono::milliseconds writeTime{10000};
        std::chrono::milliseconds lingerTime{2000};
        std::size_t maxHead = 32 * 1024;
        std::size_t maxBody = 1 << 20;
    };
    using Handler = std::function<void(std::unique_ptr<ReceivedRequest>)>;

    RequestGate(const Settings &settings, Handler handler);
    ~RequestGate();
    RequestGate(const RequestGate &) = delete;
    RequestGate &operator=(const RequestGate &) = delete;

    // Listens on the IPv4 address; returns the port bound, or -1. A port in
    // use is refused, also when another server holds it.
    int bind(const std::string &address, int port);
    // Serves until stop(); false when the server could not run.
    bool run();
    // Ends run(), from any thread, also before run() started.
    void stop();

private:
    enum class Phase { Head, Body, Lingering };
    struct Pending {
        ReceivedRequest::Peer peer;
        std::string bytes;
        RequestFraming framing;
        Clock::time_point accepted;
        Clock::time_point deadline;
        Phase phase = Phase::Head;
    };

    void acceptAll();
    void admit(int fd, const sockaddr_in &from);
    void receive(int fd);
    void judge(int fd, Pending &pending);
    void handOver(int fd);
    void answer(int fd, Pending &pending, int status);
    void expire(Clock::time_point now);
    void setDeadline(int fd, Pending &pending, Clock::time_point deadline);
    void close(int fd);
    void closeAll();
    void pauseAccepting(Clock::time_point now);
    void resumeAccepting(Clock::time_point now);
    int waitMs(Clock::time_point now) const;

    Settings settings_;
    Handler handler_;
    ConnectionLimits limits_;
    int epoll_ = -1;
    int wake_ = -1;
    int listener_ = -1;
    std::atomic<bool> stopping_{false};
    std::unordered_map<int, Pending> pending_;
    std::set<std::pair<Clock::time_point, int>> deadlines_;
    // Out of descriptors: accepting rests until then instead of spinning.
    Clock::time_point acceptPausedUntil_{};
};

} // namespace quarvel::server
