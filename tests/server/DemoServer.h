#pragma once

#include "RawHttp.h"
#include "support/TarvoServer.h"

#include <gtest/gtest.h>

#include <memory>

// A test with a fresh demo server on a free loopback port.
class DemoServer : public ::testing::Test {
protected:
    // The options the server starts with; the default is the demo data alone.
    virtual TarvoServer::Options serverOptions() const { return {}; }

    void SetUp() override
    {
        ASSERT_TRUE(server.start(serverOptions())) << server.output().constData();
        http = std::make_unique<RawHttp>(server.address(), server.port());
    }

    // Logs the account in and returns its session number.
    QByteArray logIn(const QByteArray &account, const QByteArray &password)
    {
        const RawReply r = http->login("DEMO", account, password, RawHttp::now());
        EXPECT_TRUE(r.received);
        const QByteArray session = sessionOf(r);
        EXPECT_FALSE(session.isEmpty()) << r.body.constData();
        return session;
    }

    // Posts the envelope and returns the reply body, or "no reply".
    QByteArray trans(const EnvelopeParts &parts)
    {
        const RawReply r = http->post(parts.bytes());
        if (!r.received)
            return "no reply";
        EXPECT_EQ(r.status(), 200);
        return r.body;
    }

    // An envelope of the account's session for an operation, with its payload.
    static EnvelopeParts request(const QByteArray &account, const QByteArray &session, const QByteArray &op,
                                 const QByteArray &id, const QByteArray &number, const QByteArray &payload)
    {
        EnvelopeParts e;
        e.account = account;
        e.session = session;
        e.op = op;
        e.id = id;
        e.number = number;
        e.payload = payload;
        e.trailingBel = op == "3" || op == "9";
        return e;
    }

    TarvoServer server;
    std::unique_ptr<RawHttp> http;
};
