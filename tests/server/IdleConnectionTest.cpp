#include "DemoServer.h"

#include <QElapsedTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace {

// A connection that is opened and then left: it sends nothing, or only the
// start of a request, as a client that hangs or crawls would.
class Lingering {
public:
    Lingering(const QString &address, int port, const QByteArray &start) : fd_(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<uint16_t>(port));
        inet_pton(AF_INET, address.toLatin1().constData(), &to.sin_addr);
        connected_ = fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr *>(&to), sizeof to) == 0 &&
                     ::send(fd_, start.constData(), static_cast<size_t>(start.size()), MSG_NOSIGNAL) == start.size();
    }
    ~Lingering()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Lingering(const Lingering &) = delete;
    Lingering &operator=(const Lingering &) = delete;

    bool connected() const { return connected_; }
    // True once the server has closed its end (whatever it sent before).
    bool closedByServer(int waitMs) const
    {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, waitMs) <= 0)
            return false;
        char buffer[512];
        return ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT) == 0;
    }

private:
    int fd_;
    bool connected_ = false;
};

class IdleConnections : public DemoServer {};

TEST_F(IdleConnections, LoginsAnswerAtOnceWhileAHundredConnectionsHangAndTheHangingOnesAreDropped)
{
    QElapsedTimer connecting;
    connecting.start();
    std::vector<std::unique_ptr<Lingering>> idle;
    for (int i = 0; i < 100; ++i) {
        // Half send nothing, half stop in the middle of their request line.
        const QByteArray start = i % 2 ? QByteArray("GET /cgi-bin/VEdiz.dll?KVLo") : QByteArray();
        idle.push_back(std::make_unique<Lingering>(server.address(), server.port(), start));
        ASSERT_TRUE(idle.back()->connected()) << i;
    }

    // The burst is taken at once, not a few connections at a time.
    EXPECT_LT(connecting.elapsed(), 1000);

    QElapsedTimer started;
    started.start();
    for (const QByteArray account : {"demo", "demopre", "check"}) {
        QElapsedTimer t;
        t.start();
        const QByteArray password = account == "check" ? "check" : "demo";
        const std::int64_t time = RawHttp::now();
        const RawReply r = http->exchange(
            http->loginRequest("DEMO", account, RawHttp::digest(time, password), QByteArray::number(time)), 2000);
        EXPECT_FALSE(sessionOf(r).isEmpty()) << account.constData() << ": " << r.body.constData();
        EXPECT_LT(t.elapsed(), 1000) << account.constData();
    }

    // A request that does not arrive holds its connection for a few seconds only.
    for (const auto &connection : idle) {
        const qint64 left = 9000 - started.elapsed();
        EXPECT_TRUE(connection->closedByServer(static_cast<int>(std::max<qint64>(left, 0))));
    }
    EXPECT_LT(started.elapsed(), 9000);
}

} // namespace
