#include "DemoServer.h"

#include <QElapsedTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

// A client connection from a chosen loopback address, as many clients or a
// client that crawls would open them.
class Client {
public:
    Client(const char *from, const QString &to, int port) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        ::inet_pton(AF_INET, from, &local.sin_addr);
        sockaddr_in remote{};
        remote.sin_family = AF_INET;
        remote.sin_port = htons(static_cast<uint16_t>(port));
        ::inet_pton(AF_INET, to.toLatin1().constData(), &remote.sin_addr);
        connected_ = fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr *>(&local), sizeof local) == 0 &&
                     ::connect(fd_, reinterpret_cast<sockaddr *>(&remote), sizeof remote) == 0;
    }
    ~Client()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Client(const Client &) = delete;
    Client &operator=(const Client &) = delete;

    bool connected() const { return connected_; }
    // Sends without waiting; a connection the server closed just fails.
    void send(const QByteArray &bytes) const
    {
        (void)!::send(fd_, bytes.constData(), static_cast<size_t>(bytes.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
    }
    // Nothing came from the server and it did not close: the connection is held.
    bool held() const
    {
        pollfd p{fd_, POLLIN, 0};
        return ::poll(&p, 1, 0) == 0;
    }
    // Everything the server sent until it closed, waiting at most waitMs;
    // `closed` tells whether it closed (an end or a reset).
    QByteArray readToEnd(int waitMs, bool &closed) const
    {
        QByteArray all;
        closed = false;
        QElapsedTimer t;
        t.start();
        for (;;) {
            pollfd p{fd_, POLLIN, 0};
            const int left = waitMs - static_cast<int>(t.elapsed());
            if (left <= 0 || ::poll(&p, 1, left) <= 0)
                return all;
            char buffer[4096];
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n > 0) {
                all.append(buffer, n);
                continue;
            }
            closed = n == 0 || errno == ECONNRESET;
            if (closed || (errno != EAGAIN && errno != EINTR))
                return all;
        }
    }

private:
    int fd_;
    bool connected_ = false;
};

// The process may hold this many descriptors, after raising its soft limit
// to the hard one (the usual 1024 is too few for a thousand connections).
rlim_t raiseDescriptorLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 0;
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
    ::getrlimit(RLIMIT_NOFILE, &limit);
    return limit.rlim_cur;
}

// A login from 127.0.0.1 as the counter sends it: its session (empty when
// refused) and its time in ms.
QByteArray login(const RawHttp &http, const QByteArray &account, std::int64_t time, qint64 &ms)
{
    QElapsedTimer t;
    t.start();
    const RawReply r = http.exchange(
        http.loginRequest("DEMO", account, RawHttp::digest(time, "demo"), QByteArray::number(time)), 5000);
    ms = t.elapsed();
    return sessionOf(r);
}

class HostileLoad : public DemoServer {
protected:
    TarvoServer::Options serverOptions() const override
    {
        TarvoServer::Options o;
        o.extra = QStringList{QStringLiteral("--head-timeout"), QStringLiteral("4"), QStringLiteral("--quiet")};
        return o;
    }
};

TEST_F(HostileLoad, AThousandSlowSendersKeepNoCounterWaitingAndAreCutAfterTheHeadTime)
{
    constexpr int kSlow = 1000;
    if (raiseDescriptorLimit() < kSlow + 200)
        GTEST_SKIP() << "the hard limit of open files is below " << kSlow + 200;

    // Ten client addresses with a hundred connections each, every one
    // sending its request a header line every two seconds.
    QElapsedTimer clock;
    clock.start();
    std::vector<std::unique_ptr<Client>> slow;
    for (int i = 0; i < kSlow; ++i) {
        const QByteArray from = "127.0.1." + QByteArray::number(1 + i / 100);
        slow.push_back(std::make_unique<Client>(from.constData(), server.address(), server.port()));
        ASSERT_TRUE(slow.back()->connected()) << i;
        slow.back()->send("GET /cgi-bin/VEdiz.dll?KVGetSysData&w=DEMO HTTP/1.1\r\n");
    }
    const qint64 opened = clock.elapsed();
    std::atomic<bool> done{false};
    std::thread trickle([&] {
        for (int line = 0; !done; ++line) {
            for (int waited = 0; waited < 2000 && !done; waited += 50)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            for (const auto &c : slow)
                c->send("X-Line-" + QByteArray::number(line) + ": slow\r\n");
        }
    });

    // Counters log in again and again meanwhile, and work with their sessions.
    qint64 slowest = 0;
    const std::int64_t now = RawHttp::now();
    QByteArray session;
    for (int i = 0; i < 6; ++i) {
        qint64 ms = 0;
        session = login(*http, i % 2 ? "demopre" : "demo", now + i, ms);
        EXPECT_FALSE(session.isEmpty()) << i;
        EXPECT_LT(ms, 1000) << "login " << i;
        slowest = std::max(slowest, ms);
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(trans(request("demopre", session, "9", "1", "1200", gbk("北京") + "\n")).left(2), "2\n");
    EXPECT_EQ(trans(request("demopre", session, "5", "0", "1", "")).left(2), "1\n");
    const qint64 work = t.elapsed();
    EXPECT_LT(work, 1000) << "a quotation and a balance";
    const qint64 served = clock.elapsed();

    // All of them were held while the counter was served: none was refused or cut.
    int held = 0;
    for (const auto &c : slow)
        held += c->held();
    EXPECT_EQ(held, kSlow) << "after " << served << " ms";

    // A line every two seconds does not stretch the time for the head: each is
    // closed within a second of its four seconds.
    int cut = 0;
    for (const auto &c : slow) {
        bool closed = false;
        c->readToEnd(static_cast<int>(std::max<qint64>(5200 - clock.elapsed(), 0)), closed);
        cut += closed;
    }
    const qint64 ended = clock.elapsed();
    done = true;
    trickle.join();
    EXPECT_EQ(cut, kSlow);
    EXPECT_LT(ended, 5400);
    std::printf("%d slow connections opened in %lld ms; slowest of 6 logins %lld ms, quotation and balance %lld ms; "
                "%d still held at %lld ms; %d cut by %lld ms\n",
                kSlow, static_cast<long long>(opened), static_cast<long long>(slowest), static_cast<long long>(work),
                held, static_cast<long long>(served), cut, static_cast<long long>(ended));
}

class ConnectionLimits : public DemoServer {
protected:
    TarvoServer::Options serverOptions() const override
    {
        TarvoServer::Options o;
        o.extra = QStringList{QStringLiteral("--max-per-address"), QStringLiteral("8"),
                              QStringLiteral("--max-connections"), QStringLiteral("12")};
        return o;
    }

    // A connection beyond a limit is answered 503 and closed at once.
    void expectRefused(const char *from)
    {
        Client c(from, server.address(), server.port());
        ASSERT_TRUE(c.connected());
        bool closed = false;
        const QByteArray reply = c.readToEnd(1000, closed);
        EXPECT_TRUE(reply.startsWith("HTTP/1.1 503 ")) << from << ": " << reply.constData();
        EXPECT_TRUE(closed) << from;
    }

    // A connection from `from` that the server holds; one refused while the
    // server has not yet seen an earlier one close is tried again.
    std::unique_ptr<Client> heldConnection(const char *from)
    {
        QElapsedTimer t;
        t.start();
        for (;;) {
            auto c = std::make_unique<Client>(from, server.address(), server.port());
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (c->held() || t.elapsed() > 2000)
                return c;
        }
    }

    // Waits until the server has noticed closed connections and takes a login again.
    bool logsInWithin(int ms)
    {
        QElapsedTimer t;
        t.start();
        for (std::int64_t time = RawHttp::now(); t.elapsed() < ms; ++time) {
            qint64 took = 0;
            if (!login(*http, "demo", time, took).isEmpty())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
};

TEST_F(ConnectionLimits, OneAddressGetsItsShareAndAllTogetherNoMore)
{
    std::vector<std::unique_ptr<Client>> first;
    for (int i = 0; i < 8; ++i)
        first.push_back(std::make_unique<Client>("127.0.0.5", server.address(), server.port()));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    for (const auto &c : first)
        EXPECT_TRUE(c->held());
    expectRefused("127.0.0.5");
    // Others are served beside them.
    qint64 ms = 0;
    EXPECT_FALSE(login(*http, "demo", RawHttp::now(), ms).isEmpty());

    // A place given back is taken again, and its request is served.
    first.pop_back();
    QElapsedTimer t;
    t.start();
    QByteArray reply;
    while (!reply.startsWith("HTTP/1.1 200") && t.elapsed() < 2000) {
        Client again("127.0.0.5", server.address(), server.port());
        again.send(http->baseDataRequest("DEMO"));
        bool closed = false;
        reply = again.readToEnd(2000, closed);
    }
    EXPECT_TRUE(reply.startsWith("HTTP/1.1 200")) << reply.left(40).constData();

    // Twelve in all: the eighth from the first address once its last request
    // has gone, and four more from another address fill the server.
    first.push_back(heldConnection("127.0.0.5"));
    EXPECT_TRUE(first.back()->held());
    std::vector<std::unique_ptr<Client>> second;
    for (int i = 0; i < 4; ++i)
        second.push_back(std::make_unique<Client>("127.0.0.6", server.address(), server.port()));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    for (const auto &c : second)
        EXPECT_TRUE(c->held());
    expectRefused("127.0.0.7");
    expectRefused("127.0.0.1");
    second.clear();
    EXPECT_TRUE(logsInWithin(2000));
}

} // namespace
