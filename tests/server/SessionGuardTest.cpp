#include "DemoServer.h"
#include "ServerData.h"

#include <QElapsedTimer>

#include <future>

namespace {

class SessionGuard : public DemoServer {
protected:
    QByteArray balance(const QByteArray &session) { return trans(request("demo", session, "5", "0", "1", "")); }

    // Sets how long ago the session was last used.
    void idleFor(const QByteArray &session, int minutes)
    {
        ASSERT_EQ(runSql(server.dataFile(), "UPDATE client_session SET dlast = datetime('now', 'localtime', '-" +
                                                std::to_string(minutes) +
                                                " minutes') WHERE irand = " + session.toStdString()),
                  "");
    }

    // A login of the demo customer with the time and password given, with
    // the time it took to be answered.
    std::pair<RawReply, qint64> timedLogin(const QByteArray &account, const QByteArray &password)
    {
        QElapsedTimer t;
        t.start();
        const RawReply r = http->login("DEMO", account, password, RawHttp::now());
        return {r, t.elapsed()};
    }
};

constexpr char kBalance[] = "1\n5000.00\n1200.50\n0\n68.50\n2\n18.00\n1\n";

TEST_F(SessionGuard, SessionExpiresAfterTwoIdleHoursAndEveryRequestRenewsIt)
{
    const QByteArray session = logIn("demo", "demo");
    EXPECT_EQ(balance(session), kBalance);

    // Used last almost two hours ago: still open, and the request renews it.
    idleFor(session, 119);
    EXPECT_EQ(balance(session), kBalance);
    EXPECT_EQ(queryText(server.dataFile(), "SELECT dlast >= datetime('now', 'localtime', '-1 minute') FROM "
                                           "client_session WHERE irand = " +
                                               session.toStdString()),
              "1");
    idleFor(session, 119);
    EXPECT_EQ(balance(session), kBalance);

    // Idle for longer: gone for good, told as a session the server does not know.
    idleFor(session, 121);
    EXPECT_EQ(balance(session), "-15\n");
    EXPECT_EQ(balance(session), "-15\n");

    // Another login opens a new session that works.
    EXPECT_EQ(balance(logIn("demo", "demo")), kBalance);
}

TEST_F(SessionGuard, LoginRequestIsAcceptedOnce)
{
    const std::int64_t time = RawHttp::now();
    const QByteArray digest = RawHttp::digest(time, "demo");
    const QByteArray captured = http->loginRequest("DEMO", "demo", digest, QByteArray::number(time));
    const RawReply first = http->exchange(captured);
    const QByteArray session = sessionOf(first);
    ASSERT_FALSE(session.isEmpty()) << first.body.constData();

    const RawReply replay = http->exchange(captured);
    EXPECT_EQ(replay.body, "-8\n");
    EXPECT_TRUE(replay.header("Set-Cookie").isEmpty());
    // The digest in capitals is the same request.
    EXPECT_EQ(http->exchange(http->loginRequest("DEMO", "demo", digest.toUpper(), QByteArray::number(time))).body,
              "-8\n");
    // The replay did not spoil the session it copied.
    EXPECT_EQ(balance(session), kBalance);

    // Another account at the same second, and the same account at another second, log in.
    const RawReply other = http->login("DEMO", "demopre", "demo", time);
    EXPECT_EQ(other.body.left(6), "0,101,");
    const RawReply later = http->login("DEMO", "demo", "demo", time + 1);
    EXPECT_EQ(later.body.left(6), "0,101,");

    // Used requests are kept in the data file: a restart does not make them new.
    ASSERT_EQ(server.stop(), 0);
    ASSERT_TRUE(server.start());
    http = std::make_unique<RawHttp>(server.address(), server.port());
    EXPECT_EQ(http->exchange(captured).body, "-8\n");
}

TEST_F(SessionGuard, WrongPasswordsSlowDownTheirAccountOnly)
{
    const std::int64_t time = RawHttp::now();
    const QByteArray seen = http->loginRequest("DEMO", "demo", RawHttp::digest(time, "demo"), QByteArray::number(time));
    ASSERT_EQ(http->exchange(seen).body.left(6), "0,101,");

    // Three wrong passwords in a row are answered at once.
    for (int i = 0; i < 3; ++i) {
        const auto [r, ms] = timedLogin("demo", "guess");
        EXPECT_EQ(r.body, "-4\n");
        EXPECT_LT(ms, 500) << i;
    }
    // Now the account's next login waits a second. A request seen before
    // has the right digest but proves nothing new: it does not end the count.
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(http->exchange(seen).body, "-8\n");
    EXPECT_GE(t.elapsed(), 700);
    const auto [fourth, fourthMs] = timedLogin("demo", "guess");
    EXPECT_EQ(fourth.body, "-4\n");
    EXPECT_LT(fourthMs, 500);

    // The fourth wrong one makes the next login wait two seconds; the right
    // password still gets in then, and a login that comes meanwhile waits behind it.
    auto right = std::async(std::launch::async, [this] { return timedLogin("demo", "demo"); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    auto behind = std::async(std::launch::async, [this] { return timedLogin("demo", "guess"); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));

    // Two wait already: a third is turned away at once.
    const auto [busy, busyMs] = timedLogin("demo", "demo");
    EXPECT_EQ(busy.body, "-3\n");
    EXPECT_LT(busyMs, 500);
    // Other accounts are not slowed down.
    const auto [pre, preMs] = timedLogin("demopre", "demo");
    EXPECT_EQ(pre.body.left(6), "0,101,");
    EXPECT_LT(preMs, 500);

    const auto [accepted, acceptedMs] = right.get();
    EXPECT_EQ(accepted.body.left(6), "0,101,") << accepted.body.constData();
    EXPECT_GE(acceptedMs, 1500);
    // The accepted login ended the count: the one behind it is answered as soon as its turn comes.
    const auto [wrong, wrongMs] = behind.get();
    EXPECT_EQ(wrong.body, "-4\n");
    EXPECT_LT(wrongMs, acceptedMs + 300);
    const auto [again, againMs] = timedLogin("demo", "guess");
    EXPECT_EQ(again.body, "-4\n");
    EXPECT_LT(againMs, 500);
}

} // namespace
