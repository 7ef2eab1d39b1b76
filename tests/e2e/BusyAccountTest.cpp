#include "support/CtlCounter.h"
#include "support/TarvoServer.h"

#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// Twenty counters sharing one account log in at the same moment. The server
// takes one login of an account a second and refuses the rest as used
// already; every counter waits briefly and tries a later second, and none
// is told "网站服务器错误。".
TEST(BusyAccount, ManyCountersLoggingInAtOnceOnOneAccountAllGetIn)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    const CtlCounter counter(server, "demo", "demo");
    constexpr int kCounters = 20;
    std::vector<std::unique_ptr<QProcess>> runs;
    for (int i = 0; i < kCounters; ++i) {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(QUARVELCTL_PATH),
                 {QStringLiteral("--root"), counter.root.path(), QStringLiteral("--account"), QStringLiteral("demo"),
                  QStringLiteral("--password-stdin"), QStringLiteral("balance")});
        runs.push_back(std::move(p));
    }
    // All of them are started before any is given its password, so that
    // their logins fall into the same second.
    for (auto &p : runs) {
        ASSERT_TRUE(p->waitForStarted());
        p->write("demo\n");
        p->closeWriteChannel();
    }
    QElapsedTimer clock;
    clock.start();
    int refused = 0;
    for (auto &p : runs) {
        ASSERT_TRUE(p->waitForFinished(120000));
        const QString err = QString::fromUtf8(p->readAllStandardError());
        EXPECT_EQ(p->exitCode(), 0) << err.toStdString();
        EXPECT_FALSE(err.contains(QStringLiteral("网站服务器错误"))) << err.toStdString();
        refused += p->exitCode() != 0;
    }
    EXPECT_EQ(refused, 0);
    // Bounded: seconds ahead are taken at once, nobody waits for twenty.
    EXPECT_LT(clock.elapsed(), 15000);
}
