#include "DemoServer.h"

#include <QElapsedTimer>

namespace {

// The server with its control path, so that the rules for /test-hooks are seen too.
class HttpRules : public DemoServer {
protected:
    TarvoServer::Options serverOptions() const override
    {
        TarvoServer::Options o;
        o.extra = QStringList{QStringLiteral("--test-hooks")};
        return o;
    }

    // The exchange and how long the reply took.
    RawReply timed(const QByteArray &request, qint64 &ms) const
    {
        QElapsedTimer t;
        t.start();
        const RawReply r = http->exchange(request, 8000);
        ms = t.elapsed();
        return r;
    }

    QByteArray loginTarget(std::int64_t time) const
    {
        const QByteArray request =
            http->loginRequest("DEMO", "demo", RawHttp::digest(time, "demo"), QByteArray::number(time));
        return request.mid(4, request.indexOf(" HTTP/") - 4);
    }
};

TEST_F(HttpRules, AnHttp11RequestNeedsExactlyOneHost)
{
    const std::int64_t now = RawHttp::now();
    const QByteArray target = loginTarget(now);
    qint64 ms = 0;
    RawReply r = timed("GET " + target + " HTTP/1.1\r\nAccept: */*\r\n\r\n", ms);
    EXPECT_EQ(r.status(), 400);
    EXPECT_LT(ms, 1000);
    EXPECT_EQ(http->exchange("GET " + target + " HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n").status(), 400);
    EXPECT_EQ(http->exchange("GET " + target + " HTTP/1.0\r\nHost: a\r\nHost: a\r\n\r\n").status(), 400);
    // Refused before the handler: the login was not used up by them.
    r = http->exchange("GET " + target + " HTTP/1.1\r\nHost: " + http->host() + "\r\n\r\n");
    EXPECT_EQ(r.status(), 200);
    EXPECT_FALSE(sessionOf(r).isEmpty()) << r.body.constData();
    // HTTP/1.0 may leave Host out; the counter's own requests carry one.
    const QByteArray next = loginTarget(now + 1);
    EXPECT_FALSE(sessionOf(http->exchange("GET " + next + " HTTP/1.0\r\n\r\n")).isEmpty());
}

TEST_F(HttpRules, ALengthThatCannotBeKnownIsRefusedAtOnce)
{
    const QByteArray head = "POST /cgi-bin/VEdiz.dll?KVTrans HTTP/1.0\r\nHost: " + http->host() + "\r\n";
    for (const QByteArray &length : {QByteArray("-5"), QByteArray("+5"), QByteArray("5x"), QByteArray("0x10"),
                                     QByteArray("5, 5"), QByteArray(""), QByteArray("5 5")}) {
        qint64 ms = 0;
        const RawReply r = timed(head + "Content-Length: " + length + "\r\n\r\n", ms);
        EXPECT_EQ(r.status(), 400) << length.constData();
        EXPECT_LT(ms, 1000) << length.constData();
    }
    qint64 ms = 0;
    EXPECT_EQ(timed(head + "Content-Length: 5\r\ncontent-length: 5\r\n\r\nabcde", ms).status(), 400);
    // More than any client sends, refused on its head without waiting for the body.
    for (const QByteArray &length : {QByteArray("2000000"), QByteArray("99999999999999999999999")}) {
        EXPECT_EQ(timed(head + "Content-Length: " + length + "\r\n\r\n", ms).status(), 413) << length.constData();
        EXPECT_LT(ms, 1000);
    }
    EXPECT_EQ(timed(head + "Transfer-Encoding: chunked\r\n\r\n5\r\nabcde\r\n0\r\n\r\n", ms).status(), 411);
    EXPECT_LT(ms, 1000);
    // Fields the library and the door could read differently.
    EXPECT_EQ(http->exchange(head + "Content-Length : 5\r\n\r\nabcde").status(), 400);
    EXPECT_EQ(http->exchange(head + "Accept: */*\r\n  folded\r\nContent-Length: 5\r\n\r\nabcde").status(), 400);
    // A head without end, longer than any request.
    QByteArray endless = head;
    while (endless.size() < 40000)
        endless += "X-Filler: " + QByteArray(100, 'f') + "\r\n";
    EXPECT_EQ(timed(endless, ms).status(), 431);
    EXPECT_LT(ms, 1000);
    // The server still serves.
    EXPECT_EQ(http->post(EnvelopeParts().bytes()).status(), 200);
}

TEST_F(HttpRules, OtherMethodsOnServedPathsAre405WithAllow)
{
    const std::int64_t now = RawHttp::now();
    const QByteArray target = loginTarget(now);
    for (const QByteArray &method :
         {QByteArray("PUT"), QByteArray("DELETE"), QByteArray("PATCH"), QByteArray("OPTIONS"), QByteArray("HEAD")}) {
        for (const QByteArray &path : {target, QByteArray("/test-hooks")}) {
            const RawReply r = http->exchange(method + ' ' + path + " HTTP/1.1\r\nHost: " + http->host() +
                                              "\r\nContent-Length: 0\r\n\r\n");
            EXPECT_EQ(r.status(), 405) << method.constData() << ' ' << path.constData();
            EXPECT_EQ(r.header("Allow"), "GET, POST") << method.constData() << ' ' << path.constData();
        }
        EXPECT_EQ(http->exchange(method + " /elsewhere HTTP/1.0\r\n\r\n").status(), 404) << method.constData();
    }
    // A HEAD of a login is no login: the same request by GET still opens a session.
    EXPECT_FALSE(
        sessionOf(http->exchange("GET " + target + " HTTP/1.0\r\nHost: " + http->host() + "\r\n\r\n")).isEmpty());
    // Unknown commands under the served path stay 404.
    EXPECT_EQ(http->exchange("GET /cgi-bin/VEdiz.dll?KVTrans HTTP/1.0\r\n\r\n").status(), 404);
}

} // namespace
