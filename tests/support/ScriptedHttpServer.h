#pragma once

#include <QByteArray>
#include <QList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// A loopback HTTP server that answers from a script, so that tests can make
// it misbehave on purpose: each connection takes the next step of the queue,
// and every request it received is kept byte for byte.
class ScriptedHttpServer {
public:
    enum class Action { Reply, CloseAfterRequest, Silent, Trickle };
    struct Step {
        Action action = Action::Reply;
        QByteArray bytes;
        int intervalMs = 0;
    };

    // Listens on the address; port 0 takes a free one.
    explicit ScriptedHttpServer(const char *address = "127.0.0.1", int port = 0) : address_(address)
    {
        if (::pipe(wake_) != 0)
            return;
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int yes = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        ::inet_pton(AF_INET, address, &a.sin_addr);
        if (::bind(listener_, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(listener_, 16) != 0) {
            ::close(listener_);
            listener_ = -1;
            return;
        }
        socklen_t size = sizeof a;
        ::getsockname(listener_, reinterpret_cast<sockaddr *>(&a), &size);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { run(); });
    }

    ~ScriptedHttpServer()
    {
        if (wake_[1] >= 0)
            (void)!::write(wake_[1], "x", 1);
        if (thread_.joinable())
            thread_.join();
        for (int fd : {listener_, wake_[0], wake_[1]})
            if (fd >= 0)
                ::close(fd);
    }
    ScriptedHttpServer(const ScriptedHttpServer &) = delete;
    ScriptedHttpServer &operator=(const ScriptedHttpServer &) = delete;

    bool listening() const { return listener_ >= 0; }
    int port() const { return port_; }
    // "address:port", as a configured host.
    QByteArray host() const { return QByteArray(address_) + ':' + QByteArray::number(port_); }

    // Queues the answer of the next connection.
    void reply(const QByteArray &bytes) { push({Action::Reply, bytes}); }
    void closeAfterRequest() { push({Action::CloseAfterRequest, {}}); }
    // Reads the request and never answers (until the client gives up).
    void silent() { push({Action::Silent, {}}); }
    // Answers one byte every `intervalMs` until the bytes are sent or the
    // client hangs up, as a server that is slow on purpose would.
    void trickle(const QByteArray &bytes, int intervalMs) { push({Action::Trickle, bytes, intervalMs}); }

    // "HTTP/1.0 200 OK" with a correct Content-Length and the body.
    static QByteArray ok(const QByteArray &body)
    {
        return "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
               "\r\n\r\n" + body;
    }

    QList<QByteArray> requests() const
    {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    int connections() const
    {
        std::lock_guard lock(mutex_);
        return connections_;
    }

private:
    void push(const Step &step)
    {
        std::lock_guard lock(mutex_);
        script_.push_back(step);
    }

    Step next()
    {
        std::lock_guard lock(mutex_);
        ++connections_;
        if (script_.empty())
            return {Action::Reply, QByteArrayLiteral("HTTP/1.0 500 Nothing scripted\r\n\r\n")};
        Step step = script_.front();
        script_.pop_front();
        return step;
    }

    // Waits for the fd or the stop signal; true when the fd is ready.
    bool wait(int fd, int timeoutMs = -1) const
    {
        pollfd p[2] = {{fd, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        return ::poll(p, 2, timeoutMs) > 0 && !(p[1].revents & POLLIN) && (p[0].revents != 0);
    }

    void run()
    {
        while (wait(listener_)) {
            const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                continue;
            serve(fd, next());
            ::close(fd);
        }
    }

    void serve(int fd, const Step &step)
    {
        const QByteArray request = readRequest(fd);
        {
            std::lock_guard lock(mutex_);
            requests_.append(request);
        }
        switch (step.action) {
        case Action::Reply:
            for (qsizetype sent = 0; sent < step.bytes.size();) {
                const ssize_t n =
                    ::send(fd, step.bytes.constData() + sent, std::size_t(step.bytes.size() - sent), MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                sent += n;
            }
            ::shutdown(fd, SHUT_WR);
            // Let the client read everything before the socket goes.
            wait(fd, 5000);
            break;
        case Action::CloseAfterRequest:
            break;
        case Action::Silent:
            wait(fd);
            break;
        case Action::Trickle:
            for (char c : step.bytes) {
                // Readable means the client hung up (it sends nothing more).
                if (::send(fd, &c, 1, MSG_NOSIGNAL) != 1 || wait(fd, step.intervalMs))
                    break;
                if (stopping())
                    break;
            }
            break;
        }
    }

    bool stopping() const
    {
        pollfd p{wake_[0], POLLIN, 0};
        return ::poll(&p, 1, 0) > 0;
    }

    // The request head, and as many body bytes as its Content-Length names.
    QByteArray readRequest(int fd) const
    {
        QByteArray bytes;
        qsizetype expected = -1;
        char block[4096];
        while (expected < 0 || bytes.size() < expected) {
            if (!wait(fd, 5000))
                break;
            const ssize_t n = ::recv(fd, block, sizeof block, 0);
            if (n <= 0)
                break;
            bytes.append(block, n);
            const qsizetype head = bytes.indexOf("\r\n\r\n");
            if (expected < 0 && head >= 0) {
                const qsizetype at = bytes.indexOf("Content-Length: ");
                const qsizetype length =
                    at >= 0 && at < head ? bytes.mid(at + 16, bytes.indexOf('\r', at) - at - 16).toLongLong() : 0;
                expected = head + 4 + length;
            }
        }
        return bytes;
    }

    const char *address_;
    int listener_ = -1;
    int port_ = 0;
    int wake_[2] = {-1, -1};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::deque<Step> script_;
    QList<QByteArray> requests_;
    int connections_ = 0;
};
