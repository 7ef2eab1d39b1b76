#include "DemoServer.h"
#include "ServerData.h"

namespace {

class Login : public DemoServer {};

TEST_F(Login, CustomerAccountGetsClientIdSessionAndUploadTarget)
{
    const RawReply first = http->login("DEMO", "demo", "demo", RawHttp::now());
    ASSERT_TRUE(first.received);
    EXPECT_EQ(first.status(), 200);
    const QByteArray session = sessionOf(first);
    EXPECT_EQ(first.body, "0,101," + session + ",1\n");
    EXPECT_GT(session.toLongLong(), 0);
    // The cookie is a plain pair with a path attribute, which the client keeps for this exchange only.
    EXPECT_EQ(first.header("Set-Cookie"), "KVSESSION=" + session + "; Path=/");

    // A cookie sent along changes nothing: the session travels in the envelope.
    const auto now = RawHttp::now();
    QByteArray withCookie =
        http->loginRequest("DEMO", "demopre", RawHttp::digest(now, "demo"), QByteArray::number(now));
    withCookie.insert(withCookie.size() - 2, "Cookie: KVSESSION=" + session + ";\r\n");
    const RawReply second = http->exchange(withCookie);
    EXPECT_EQ(second.body, "0,101," + sessionOf(second) + ",2\n");
    EXPECT_NE(sessionOf(second), session);
}

TEST_F(Login, AccountNamesTravelAsRawGbkAndMayHoldQueryCharacters)
{
    const RawReply chinese = http->login("DEMO", gbk("演示员"), "demo", RawHttp::now());
    EXPECT_EQ(chinese.body, "0,101," + sessionOf(chinese) + ",1\n");

    ASSERT_EQ(runSql(server.dataFile(), "INSERT INTO client_account (cwcid, cac, cpassword, icid) "
                                        "VALUES ('DEMO', 'a&ac=b<c>&md5=x', 'p''w&it=1', 101)"),
              "");
    const RawReply odd = http->login("DEMO", "a&ac=b<c>&md5=x", "p'w&it=1", RawHttp::now());
    EXPECT_EQ(odd.body, "0,101," + sessionOf(odd) + ",1\n");
}

TEST_F(Login, CheckpointAccountGetsItsSixDefaultLines)
{
    const RawReply r = http->login("DEMO", "check", "check", RawHttp::now());
    const QByteArray expected = "1,0," + sessionOf(r) + ",0\n" +
                                gbk("SZX01\nCAN02\n深圳转运中心\n快件已到达深圳转运中心\n") +
                                "Shenzhen Hub\nArrived at the Shenzhen hub\n";
    EXPECT_EQ(r.body, expected);
}

TEST_F(Login, DefaultLinesAreCutToWhatTheClientStoresAndKeptOnOneLine)
{
    const std::string longPlace(200, 'p');
    // 200 Chinese characters, 400 GBK bytes.
    const std::string longChinese = "replace(hex(zeroblob(100)), '00', '汉字')";
    ASSERT_EQ(runSql(server.dataFile(), "UPDATE client_account SET cstation = '12345678901234567890', cstation2 = '', "
                                        "cplace = '" +
                                            longPlace +
                                            "', cinfo = '第一行' || char(13, 10) || '第二行', "
                                            "cplaceen = " +
                                            longChinese + " WHERE cac = 'check'"),
              "");
    const RawReply r = http->login("DEMO", "check", "check", RawHttp::now());
    const QList<QByteArray> lines = r.body.split('\n');
    ASSERT_EQ(lines.size(), 8) << r.body.constData();
    EXPECT_EQ(lines[1], "123456789012345");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], QByteArray(126, 'p'));
    EXPECT_EQ(lines[4], gbk("第一行  第二行"));
    // At most 126 bytes and no character split: 63 characters.
    EXPECT_EQ(lines[5], gbk(QString::fromUtf8("汉字").repeated(32).left(63)));
    EXPECT_EQ(lines[6], "Arrived at the Shenzhen hub");
    EXPECT_EQ(lines[7], "");
}

TEST_F(Login, EveryRefusalHasItsNumber)
{
    const auto now = RawHttp::now();
    EXPECT_EQ(http->login("NOSITE", "demo", "demo", now).body, "-1\n");
    EXPECT_EQ(http->login("DEMO", "nobody", "demo", now).body, "-2\n");
    // Bytes that are not GBK name no account.
    EXPECT_EQ(http->login("DEMO", "\xff\xfe", "demo", now).body, "-2\n");
    EXPECT_EQ(http->login("DEMO", "demo", "wrong", now).body, "-4\n");
    EXPECT_EQ(http->login("DEMO", "demo", "", now).body, "-4\n");
    EXPECT_EQ(http->login("DEMO", "stopped", "stopped", now).body, "-5\n");
    // A refused login opens no session.
    EXPECT_TRUE(http->login("DEMO", "stopped", "stopped", now).header("Set-Cookie").isEmpty());

    // Requests the server cannot read: no digest, no time, a time that is not a number.
    EXPECT_EQ(http->exchange("GET /cgi-bin/VEdiz.dll?KVLogin&w=DEMO&ac=demo HTTP/1.0\r\n\r\n").body, "-3\n");
    EXPECT_EQ(http->exchange(http->loginRequest("DEMO", "demo", RawHttp::digest(now, "demo"), "")).body, "-3\n");
    EXPECT_EQ(http->exchange(http->loginRequest("DEMO", "demo", RawHttp::digest(now, "demo"), "12x")).body, "-3\n");
}

TEST_F(Login, DigestIsCheckedForTheTimeItNamesWithinFiveMinutes)
{
    const auto now = RawHttp::now();
    EXPECT_EQ(http->login("DEMO", "demo", "demo", now - 240).body.left(6), "0,101,");
    EXPECT_EQ(http->login("DEMO", "demo", "demo", now + 240).body.left(6), "0,101,");
    EXPECT_EQ(http->login("DEMO", "demo", "demo", now - 400).body, "-6\n");
    EXPECT_EQ(http->login("DEMO", "demo", "demo", now + 3600).body, "-6\n");
    // A digest made for another time than the one sent is a wrong password, not a clock error.
    const QByteArray mixed =
        http->loginRequest("DEMO", "demo", RawHttp::digest(now - 1, "demo"), QByteArray::number(now));
    EXPECT_EQ(http->exchange(mixed).body, "-4\n");
    EXPECT_EQ(http->login("DEMO", "demo", "wrong", now - 400).body, "-4\n");
    // The digest may come in capitals.
    const QByteArray upper =
        http->loginRequest("DEMO", "demo", RawHttp::digest(now, "demo").toUpper(), QByteArray::number(now));
    EXPECT_EQ(http->exchange(upper).body.left(6), "0,101,");
}

TEST(LoginWindow, TimeWindowCanBeSetOnTheCommandLine)
{
    TarvoServer server;
    TarvoServer::Options o;
    o.extra = QStringList{QStringLiteral("--time-window"), QStringLiteral("10")};
    ASSERT_TRUE(server.start(o));
    RawHttp http(server.address(), server.port());
    EXPECT_EQ(http.login("DEMO", "demo", "demo", RawHttp::now() - 60).body, "-6\n");
    EXPECT_EQ(http.login("DEMO", "demo", "demo", RawHttp::now()).body.left(6), "0,101,");
}

} // namespace
