#include "DemoServer.h"
#include "UploadPayload.h"
#include "support/TarvoData.h"

#include <QElapsedTimer>

#include <thread>

namespace {

class Hooks : public DemoServer {
protected:
    TarvoServer::Options serverOptions() const override
    {
        TarvoServer::Options o;
        o.extra = QStringList{QStringLiteral("--test-hooks")};
        return o;
    }

    void SetUp() override
    {
        DemoServer::SetUp();
        session = logIn("demo", "demo");
    }

    static ShipmentValues shipment(const char *waybill)
    {
        ShipmentValues s;
        s.waybill = QString::fromUtf8(waybill);
        return s;
    }

    RawReply upload(const char *waybill, int timeoutMs = 5000) const
    {
        return http->exchange(
            http->postRequest("/cgi-bin/VEdiz.dll?KVTrans",
                              request("demo", session, "0", "5", "1", shipmentCall(shipment(waybill), 1)).bytes()),
            timeoutMs);
    }

    std::string stored(const char *waybill) const
    {
        return TarvoData(server.dataFile()).text("SELECT COUNT(*) FROM client_rec WHERE cnum = ?", {waybill});
    }

    QByteArray rules() const { return http->exchange("GET /test-hooks HTTP/1.0\r\n\r\n").body; }

    QByteArray session;
};

TEST_F(Hooks, AChosenStatusOrReplyForAChosenWaybill)
{
    ASSERT_TRUE(server.setHooks("waybill=H1 status -10\nwaybill=H2 reply \\x81garbage\\a\\n<BR>"));
    EXPECT_EQ(upload("H1").body, "-10\n");
    EXPECT_EQ(upload("H1").body, "-10\n");
    EXPECT_EQ(upload("H2").body, "\x81garbage\a\n<BR>");
    EXPECT_EQ(stored("H1"), "0");
    EXPECT_EQ(stored("H2"), "0");
    EXPECT_EQ(upload("H3").body.trimmed().toInt() > 0, true);
    EXPECT_EQ(rules(), "waybill=H1 status -10 (always)\nwaybill=H2 reply \\x81garbage\\a\\n<BR> (always)\n");

    // Scans too; a limited rule wears out.
    const QByteArray checkpoint = logIn("check", "check");
    ASSERT_TRUE(server.setHooks("clear\nwaybill=D1010000001 times=1 status -3"));
    const EnvelopeParts scan = request("check", checkpoint, "4", "2", "1", scanCall(ScanValues()));
    EXPECT_EQ(trans(scan), "-3\n");
    EXPECT_GT(trans(scan).trimmed().toInt(), 0);
    EXPECT_GT(upload("H1").body.trimmed().toInt(), 0);
    EXPECT_EQ(stored("H1"), "1");
    EXPECT_EQ(rules(), "");
}

TEST_F(Hooks, AStalledAnswerComesLateAndTheRequestIsStillHandled)
{
    ASSERT_TRUE(server.setHooks("waybill=S1 stall 0.4"));
    QElapsedTimer clock;
    clock.start();
    const RawReply late = upload("S1");
    EXPECT_GE(clock.elapsed(), 400);
    EXPECT_GT(late.body.trimmed().toInt(), 0);
    EXPECT_EQ(stored("S1"), "1");

    // A client that gives up first gets nothing, yet the server stores the shipment.
    ASSERT_TRUE(server.setHooks("waybill=S2 stall 0.6"));
    EXPECT_FALSE(upload("S2", 200).received);
    clock.restart();
    while (stored("S2") == "0" && clock.elapsed() < 5000)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(stored("S2"), "1");
}

TEST_F(Hooks, AHangingRequestGetsNoAnswerUntilTheRulesAreCleared)
{
    ASSERT_TRUE(server.setHooks("waybill=N1 hang"));
    EXPECT_FALSE(upload("N1", 300).received);

    RawReply held;
    QElapsedTimer clock;
    clock.start();
    std::thread client([&] { held = upload("N1", 5000); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_TRUE(server.setHooks("clear"));
    client.join();
    EXPECT_FALSE(held.received);
    EXPECT_LT(clock.elapsed(), 4000);
    EXPECT_EQ(stored("N1"), "0");
    EXPECT_GT(upload("N1").body.trimmed().toInt(), 0);

    // The server stops even while a request hangs.
    ASSERT_TRUE(server.setHooks("next hang"));
    std::thread last([&] { upload("N2", 5000); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    clock.restart();
    EXPECT_EQ(server.stop(), 0);
    EXPECT_LT(clock.elapsed(), 4000);
    last.join();
}

TEST_F(Hooks, ClosingWithoutAnswerAndRulesForTheNextRequest)
{
    ASSERT_TRUE(server.setHooks("op=0 close"));
    QElapsedTimer clock;
    clock.start();
    const RawReply closed = upload("C1");
    EXPECT_FALSE(closed.received);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(stored("C1"), "0");
    EXPECT_GT(upload("C1").body.trimmed().toInt(), 0);

    // "next" takes any command, logins and base data included, once.
    ASSERT_TRUE(server.setHooks("next status -3\nnext close"));
    EXPECT_EQ(http->login("DEMO", "demo", "demo", RawHttp::now()).body, "-3\n");
    EXPECT_FALSE(http->exchange(http->baseDataRequest("DEMO")).received);
    EXPECT_TRUE(http->exchange(http->baseDataRequest("DEMO")).body.startsWith("C1N"));

    // op=N waits for its operation; times=K repeats it.
    ASSERT_TRUE(server.setHooks("op=5 times=2 status -9"));
    EXPECT_GT(upload("C2").body.trimmed().toInt(), 0);
    EnvelopeParts balance;
    balance.session = session;
    EXPECT_EQ(trans(balance), "-9\n");
    EXPECT_EQ(trans(balance), "-9\n");
    EXPECT_EQ(trans(balance).left(2), "1\n");
}

TEST_F(Hooks, WrongRulesAreRefusedWhole)
{
    ASSERT_TRUE(server.setHooks("waybill=W1 status -10"));
    for (const QByteArray &bad :
         {QByteArray("waybill=W2 status ten"), QByteArray("always status 1"), QByteArray("next stall -1"),
          QByteArray("next close now"), QByteArray("next reply \\q"), QByteArray("op=0 times=0 close"),
          QByteArray("next explode")})
        EXPECT_FALSE(server.setHooks("next close\n" + bad)) << bad.constData();
    EXPECT_EQ(rules(), "waybill=W1 status -10 (always)\n");
}

TEST(HookOptions, RulesFromTheCommandLineAndNoControlWithoutTheOption)
{
    TarvoServer plain;
    ASSERT_TRUE(plain.start());
    EXPECT_FALSE(plain.setHooks("next close"));
    RawHttp http(plain.address(), plain.port());
    EXPECT_EQ(http.exchange("GET /test-hooks HTTP/1.0\r\n\r\n").status(), 404);
    EXPECT_EQ(http.post("x").body, "-100\n");

    TarvoServer hooked;
    TarvoServer::Options o;
    o.extra = QStringList{QStringLiteral("--test-hooks"), QStringLiteral("--hook"), QStringLiteral("next status -7"),
                          QStringLiteral("--hook"), QStringLiteral("op=5 reply x")};
    ASSERT_TRUE(hooked.start(o));
    RawHttp second(hooked.address(), hooked.port());
    EXPECT_EQ(second.exchange(second.baseDataRequest("DEMO")).body, "-7\n");
    EXPECT_TRUE(second.exchange(second.baseDataRequest("DEMO")).body.startsWith("C1N"));
    EnvelopeParts balance;
    EXPECT_EQ(second.post(balance.bytes()).body, "x");
}

} // namespace
