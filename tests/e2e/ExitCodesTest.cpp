#include "support/Quarvelctl.h"
#include "support/ScriptedHttpServer.h"
#include "support/TarvoServer.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

CtlResult ctl(const TempRoot &root, std::initializer_list<const char *> rest, const QByteArray &input = QByteArray())
{
    QStringList all{QStringLiteral("--root"), root.path()};
    for (const char *a : rest)
        all << QString::fromUtf8(a);
    return runQuarvelctl(all, input);
}

// The usage lines a usage error printed: those indented under "usage:".
QStringList usageLines(const CtlResult &r)
{
    QStringList lines;
    for (const QString &line : r.errText().split(u'\n', Qt::SkipEmptyParts))
        if (line.startsWith(QLatin1String("  ")) && !line.startsWith(QLatin1String("   ")))
            lines << line.trimmed();
    return lines;
}

// A counter configured for a server, without base data.
void configure(const TempRoot &root, const QString &host)
{
    ASSERT_EQ(ctl(root, {"config", "set", "host", host.toUtf8().constData()}).code, 0);
    ASSERT_EQ(ctl(root, {"config", "set", "site", "DEMO"}).code, 0);
}

CtlResult balanceAs(const TempRoot &root, const char *account, const QByteArray &password)
{
    return ctl(root, {"--account", account, "--password-stdin", "balance"}, password + '\n');
}

} // namespace

TEST(ExitCodes, ARunWithoutArgumentsListsEveryCommand)
{
    const CtlResult bare = runQuarvelctl({});
    EXPECT_EQ(bare.code, 2);
    const QString text = bare.errText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("usage: quarvelctl [--root DIR] [--account NAME --password-stdin]")));
    for (const char *line : {"settings set NAME=VALUE", "settings show [--json]", "phrases add PHRASE",
                             "phrases delete PHRASE", "quote DESTINATION WEIGHT ITEMTYPE", "fonts install"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line;
    EXPECT_TRUE(text.contains(QStringLiteral("label wmin wmax fmin fmax")));
}

TEST(ExitCodes, AUsageErrorPrintsThatCommandsUsageOnly)
{
    TempRoot root;
    const CtlResult field = ctl(root, {"records", "add", "cnun=AB12345"});
    EXPECT_EQ(field.code, 2);
    EXPECT_TRUE(field.errText().startsWith(QStringLiteral("records add: unknown field cnun; did you mean cnum")));
    const QStringList lines = usageLines(field);
    ASSERT_EQ(lines.size(), 1) << field.err.toStdString();
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("records add FIELD=VALUE")));

    // Without a subcommand: every line of that command, and only of it.
    const CtlResult records = ctl(root, {"records"});
    EXPECT_EQ(records.code, 2);
    const QStringList all = usageLines(records);
    EXPECT_EQ(all.size(), 7) << records.err.toStdString();
    for (const QString &line : all)
        EXPECT_TRUE(line.startsWith(QStringLiteral("records "))) << line.toStdString();

    const CtlResult unknown = ctl(root, {"frobnicate"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_TRUE(unknown.errText().startsWith(QStringLiteral("unknown command: frobnicate\n")));
    EXPECT_TRUE(unknown.errText().contains(QStringLiteral(" settings phrases ")));
    EXPECT_TRUE(usageLines(unknown).isEmpty()) << "the names, not the whole list";

    const CtlResult option = ctl(root, {"--verbose", "records", "list"});
    EXPECT_EQ(option.code, 2);
    EXPECT_EQ(option.errText(), QStringLiteral("unknown option --verbose\nusage: quarvelctl [--root DIR] [--account "
                                               "NAME --password-stdin] COMMAND ...\n"));
    EXPECT_EQ(ctl(root, {"--account", "demo", "balance"}).code, 2);
    EXPECT_EQ(runQuarvelctl({QStringLiteral("--root")}).code, 2);

    // Arguments a command does not take are no longer passed over.
    for (const auto &args : {std::initializer_list<const char *>{"records", "list", "--csv"},
                             std::initializer_list<const char *>{"contacts", "list", "extra"},
                             std::initializer_list<const char *>{"scans", "show"},
                             std::initializer_list<const char *>{"records", "show", "1", "2"},
                             std::initializer_list<const char *>{"config", "show", "host"},
                             std::initializer_list<const char *>{"query", "pre", "num=1"}}) {
        const CtlResult r = ctl(root, args);
        EXPECT_EQ(r.code, 2) << *args.begin() << ' ' << *(args.begin() + 1);
        EXPECT_FALSE(usageLines(r).isEmpty()) << r.err.toStdString();
    }
}

TEST(ExitCodes, AValueACheckRefusesEndsWithOneAndItsMessageAlone)
{
    TempRoot root;
    const CtlResult payway = ctl(root, {"records", "add", "npayway=5"});
    EXPECT_EQ(payway.code, 1);
    EXPECT_EQ(payway.errText(), QStringLiteral("[付款]只能是 0 月结, 1 现付, 2 到付：5\n"));
    const CtlResult pieces = ctl(root, {"records", "add", "npieces=1.5"});
    EXPECT_EQ(pieces.code, 1);
    EXPECT_EQ(pieces.errText(), QStringLiteral("[件数]必须是整数：1.5\n"));
    const CtlResult goods = ctl(root, {"records", "add", "goods=茶:两:5"});
    EXPECT_EQ(goods.code, 1);
    EXPECT_EQ(goods.errText(), QStringLiteral("[物品明细]数量必须是整数，单价必须是数字：茶:两:5\n"));
    const CtlResult share = ctl(root, {"records", "add", "piece=10:10:10:500:300"});
    EXPECT_EQ(share.code, 1);
    EXPECT_EQ(share.errText(), QStringLiteral("[件重明细]体积比例只能是 0-255：10:10:10:500:300\n"));
    const CtlResult listed = ctl(root, {"records", "list"});
    EXPECT_EQ(listed.code, 0);
    EXPECT_TRUE(listed.out.isEmpty()) << "nothing refused was stored";

    const CtlResult unknownId = ctl(root, {"contacts", "show", "7"});
    EXPECT_EQ(unknownId.code, 1);
    EXPECT_EQ(unknownId.errText(), QStringLiteral("名录记录7不存在。\n"));
}

TEST(ExitCodes, LoginsTheServerRefusesEndWithOneAndAServerOutOfReachWithTwo)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    TempRoot root;
    configure(root, server.host());
    const std::pair<const char *, const char *> refused[] = {
        {"demo", "密码不正确。\n"}, {"nobody", "帐号不存在。\n"}, {"stopped", "帐号没有快件操作权限。\n"}};
    for (const auto &[account, message] : refused) {
        const CtlResult r = balanceAs(root, account, account == std::string("demo") ? "wrong" : account);
        EXPECT_EQ(r.code, 1) << account;
        EXPECT_EQ(r.errText(), QString::fromUtf8(message)) << account;
        EXPECT_TRUE(r.out.isEmpty());
    }
    // The login's own check refuses before anything is sent.
    const CtlResult tooLong = balanceAs(root, "王王王王王王王王王王王王王王王王", "x");
    EXPECT_EQ(tooLong.code, 1);
    EXPECT_EQ(tooLong.errText(), QStringLiteral("[帐号]长度不得超过 30 字符。\n"));
    const CtlResult accepted = balanceAs(root, "demo", "demo");
    EXPECT_EQ(accepted.code, 0) << accepted.err.toStdString();

    server.stop();
    const CtlResult away = balanceAs(root, "demo", "demo");
    EXPECT_EQ(away.code, 2);
    EXPECT_TRUE(away.errText().startsWith(QStringLiteral("与服务器连接失败[ Ret:"))) << away.err.toStdString();
}

TEST(ExitCodes, AServerCommandWithoutALoginSaysSoAndSendsNothing)
{
    TempRoot root;
    ScriptedHttpServer server;
    configure(root, QString::fromLatin1(server.host()));
    // The account of the last session is there, but no password was given for it.
    root.write(QStringLiteral("DATA_SYS/last.dat"), "demo");
    for (const char *command : {"balance", "tidy"}) {
        const CtlResult r = ctl(root, {command});
        EXPECT_EQ(r.code, 2) << command;
        EXPECT_TRUE(r.errText().startsWith(
            QStringLiteral("需要登入服务器：请用 --account 帐号 --password-stdin 给出帐号和密码。\n")))
            << r.err.toStdString();
        EXPECT_FALSE(r.errText().contains(QStringLiteral("密码不正确")));
        EXPECT_EQ(usageLines(r).size(), 1) << r.err.toStdString();
    }
    EXPECT_EQ(server.connections(), 0);

    // --password-stdin alone logs in with that account.
    server.reply("HTTP/1.0 200 OK\r\n\r\n0,42,7001,1");
    server.reply(ScriptedHttpServer::ok("1\n1\n"));
    EXPECT_EQ(ctl(root, {"--password-stdin", "balance"}, "x\n").code, 0);
    EXPECT_TRUE(server.requests().first().contains("&ac=demo&"));
}

TEST(ExitCodes, AnImportOfAFileThatIsNotThereIsAnEnvironmentErrorNamingIt)
{
    TempRoot root;
    for (const char *command : {"contacts", "records"}) {
        const QString missing = root.file(QStringLiteral("没有.xls"));
        const CtlResult r = ctl(root, {command, "import", missing.toUtf8().constData()});
        EXPECT_EQ(r.code, 2) << command;
        EXPECT_EQ(r.errText(), QStringLiteral("文件不存在：%1\n").arg(missing)) << command;
        EXPECT_TRUE(r.out.isEmpty());
    }
    const CtlResult relative = runQuarvelctl({QStringLiteral("--root"), root.path(), QStringLiteral("contacts"),
                                              QStringLiteral("import"), QStringLiteral("a.csv")});
    EXPECT_EQ(relative.code, 2);
    EXPECT_TRUE(relative.errText().endsWith(QStringLiteral("/a.csv\n"))) << "named by its whole path";
    EXPECT_EQ(ctl(root, {"contacts", "import"}).code, 2);
}
