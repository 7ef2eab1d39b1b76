#include "ServerData.h"
#include "support/TarvoServer.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ServerRun {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

ServerRun runServer(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(TARVO_SERVER_PATH), args);
    p.waitForStarted(5000);
    if (!p.waitForFinished(10000))
        p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

TEST(CommandLine, HelpAndUsageErrors)
{
    const ServerRun help = runServer({QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: tarvo-server --listen ADDRESS:PORT --data FILE"));
    EXPECT_TRUE(help.out.contains("--redirect-to IPV4"));
    EXPECT_TRUE(help.out.contains("--test-hooks"));
    EXPECT_TRUE(help.out.contains("--max-per-address N"));
    EXPECT_TRUE(help.out.contains("--head-timeout SECONDS"));

    for (const QStringList &bad :
         {QStringList{}, QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")},
          QStringList{QStringLiteral("--data"), QStringLiteral("x.db"), QStringLiteral("--listen"),
                      QStringLiteral("localhost:80")},
          QStringList{QStringLiteral("--data"), QStringLiteral("x.db"), QStringLiteral("--listen"),
                      QStringLiteral("127.0.0.1:70000")},
          QStringList{QStringLiteral("--data"), QStringLiteral("x.db"), QStringLiteral("--redirect-to"),
                      QStringLiteral("10.0.0")},
          QStringList{QStringLiteral("--data"), QStringLiteral("x.db"), QStringLiteral("--bogus")},
          QStringList{QStringLiteral("--data"), QStringLiteral("x.db"), QStringLiteral("--max-per-address"),
                      QStringLiteral("0")},
          QStringList{QStringLiteral("--data"), QStringLiteral("x.db"), QStringLiteral("--max-connections"),
                      QStringLiteral("many")},
          QStringList{QStringLiteral("--data"), QStringLiteral("x.db"), QStringLiteral("--head-timeout"),
                      QStringLiteral("-1")},
          QStringList{QStringLiteral("--data"), QStringLiteral("x.db"), QStringLiteral("--head-timeout"),
                      QStringLiteral("1s")},
          QStringList{QStringLiteral("--data"), QStringLiteral("x.db"), QStringLiteral("--hook"),
                      QStringLiteral("next close")},
          QStringList{QStringLiteral("--data"), QStringLiteral("x.db"), QStringLiteral("--test-hooks"),
                      QStringLiteral("--hook"), QStringLiteral("next explode")}}) {
        const ServerRun r = runServer(bad);
        EXPECT_EQ(r.code, 2) << bad.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.err.contains("Usage:"));
    }
}

TEST(CommandLine, ABusyPortOrAnUnusableDataFileEndsTheServer)
{
    TarvoServer first;
    ASSERT_TRUE(first.start());
    TarvoServer second;
    TarvoServer::Options o;
    o.port = first.port();
    EXPECT_FALSE(second.start(o));

    QTemporaryDir dir;
    const ServerRun r = runServer({QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"), QStringLiteral("--data"),
                                   dir.filePath(QStringLiteral("missing/folder/x.db"))});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("cannot open"));
}

TEST(CommandLine, DemoSeedingTwiceKeepsOneCopyAndStopEndsCleanly)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    const QString file = server.dataFile();
    const auto counts = [&] {
        return queryText(file,
                         "SELECT (SELECT COUNT(*) FROM destination) || ',' || (SELECT COUNT(*) FROM ems_kind_des) "
                         "|| ',' || (SELECT COUNT(*) FROM client_account) || ',' || (SELECT COUNT(*) FROM client_rec)");
    };
    const std::string first = counts();
    // Six accounts; the three first demo shipments, 320 of customer 101 and 40 of customer 102.
    EXPECT_EQ(first.substr(first.find_last_of(',') - 1), "6,363");
    EXPECT_EQ(server.stop(), 0);

    TarvoServer::Options o;
    o.dataFile = file;
    ASSERT_TRUE(server.start(o));
    EXPECT_EQ(counts(), first);
    EXPECT_EQ(server.stop(), 0);
}

TEST(CommandLine, DemoIsRefusedForAFileWithCustomersOfItsOwn)
{
    QTemporaryDir dir;
    const QString real = dir.filePath(QStringLiteral("real.db"));
    TarvoServer server;
    TarvoServer::Options o;
    o.demo = false;
    o.dataFile = real;
    ASSERT_TRUE(server.start(o));
    EXPECT_EQ(server.stop(), 0);
    const auto accounts = [](const QString &file) { return queryText(file, "SELECT COUNT(*) FROM client_account"); };

    // A real site whose customer happens to have the id 101.
    ASSERT_EQ(runSql(real, "INSERT INTO site (cwcid, cname) VALUES ('REAL', '真实网点');"
                           "INSERT INTO client (icid, cwcid, cname) VALUES (101, 'REAL', '真实客户');"),
              "");
    const QStringList demo{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"), QStringLiteral("--data"), real,
                           QStringLiteral("--demo")};
    ServerRun r = runServer(demo);
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.isEmpty()) << "it never listens";
    EXPECT_TRUE(r.err.contains("--demo refused")) << r.err.constData();
    EXPECT_TRUE(r.err.contains("101")) << r.err.constData();
    EXPECT_TRUE(r.err.contains("new data file")) << r.err.constData();
    EXPECT_EQ(accounts(real), "0") << "no demo account was added";

    // A file made by --demo is seeded again; one more customer makes it no demo file.
    TarvoServer seeded;
    ASSERT_TRUE(seeded.start());
    const QString demoFile = seeded.dataFile();
    EXPECT_EQ(seeded.stop(), 0);
    o = TarvoServer::Options();
    o.dataFile = demoFile;
    ASSERT_TRUE(seeded.start(o));
    EXPECT_EQ(seeded.stop(), 0);
    const std::string before = accounts(demoFile);
    ASSERT_EQ(runSql(demoFile, "INSERT INTO client (icid, cwcid, cname) VALUES (203, 'DEMO', '第三家')"), "");
    r = runServer({QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"), QStringLiteral("--data"), demoFile,
                   QStringLiteral("--demo")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("203")) << r.err.constData();
    EXPECT_EQ(accounts(demoFile), before);
    // The renamed demo customer is not the demo's either.
    ASSERT_EQ(
        runSql(demoFile, "DELETE FROM client WHERE icid = 203; UPDATE client SET cname = '改名' WHERE icid = 102"), "");
    EXPECT_EQ(runServer({QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"), QStringLiteral("--data"), demoFile,
                         QStringLiteral("--demo")})
                  .code,
              1);
    // Without --demo the file serves as it is.
    o.demo = false;
    ASSERT_TRUE(seeded.start(o));
}

// A signal that arrives before the server's loop runs must still end it.
TEST(CommandLine, AStopRightAfterStartEndsTheServer)
{
    TarvoServer server;
    TarvoServer::Options o;
    o.demo = false;
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(server.start(o));
        ASSERT_EQ(server.stop(), 0) << "start " << i;
    }
}

} // namespace
