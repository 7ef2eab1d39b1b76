#pragma once

#include "RawHttp.h"
#include "support/TarvoServer.h"

#include <gtest/gtest.h>

#include <memory>

// A test with a fresh demo server on a free loopback port.
class DemoServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.start()) << server.output().constData();
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

    TarvoServer server;
    std::unique_ptr<RawHttp> http;
};
