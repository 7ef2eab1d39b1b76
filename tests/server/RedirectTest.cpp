#include "RawHttp.h"
#include "support/TarvoServer.h"

#include <gtest/gtest.h>

namespace {

TEST(Redirect, FirstServerNamesTheSecondForLoginBaseDataAndTemplates)
{
    TarvoServer redirecting;
    TarvoServer target;
    ASSERT_TRUE(TarvoServer::startRedirectPair(redirecting, target));
    ASSERT_EQ(redirecting.port(), target.port());
    RawHttp first(redirecting.address(), redirecting.port());
    RawHttp second(target.address(), target.port());

    // The whole body is the address and nothing else, so that the client takes it as one.
    const auto now = RawHttp::now();
    const RawReply named = first.login("DEMO", "demo", "demo", now);
    EXPECT_EQ(named.status(), 200);
    EXPECT_EQ(named.body, "127.0.0.2");
    EXPECT_TRUE(named.header("Set-Cookie").isEmpty());
    // Whatever the account or password: the first server knows none of them.
    EXPECT_EQ(first.login("ANY", "nobody", "x", now).body, "127.0.0.2");
    EXPECT_EQ(first.exchange(first.baseDataRequest("DEMO")).body, "127.0.0.2");
    EXPECT_EQ(first.exchange(first.postRequest("/cgi-bin/VEdiz.dll?KVGetSysModel", "w=DEMO")).body, "127.0.0.2");

    // The same requests to the named server are answered there.
    const RawReply login = second.login("DEMO", "demo", "demo", now);
    const QByteArray session = sessionOf(login);
    EXPECT_EQ(login.body, "0,101," + session + ",1\n");
    EXPECT_TRUE(second.exchange(second.baseDataRequest("DEMO")).body.startsWith("C1N\n"));
    EnvelopeParts balance;
    balance.session = session;
    EXPECT_EQ(second.post(balance.bytes()).body, "1\n5000.00\n1200.50\n0\n68.50\n2\n18.00\n1\n");
    // The first server holds no session of the second.
    EXPECT_EQ(first.post(balance.bytes()).body, "-11\n");
}

} // namespace
