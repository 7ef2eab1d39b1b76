#include "support/Quarvelctl.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace quarvel;

namespace {

QStringList args(const TempRoot &root, std::initializer_list<const char *> rest)
{
    QStringList all{QStringLiteral("--root"), root.path()};
    for (const char *a : rest)
        all << QString::fromUtf8(a);
    return all;
}

QByteArray xored(const QByteArray &bytes)
{
    QByteArray out = bytes;
    for (char &c : out)
        c = static_cast<char>(c ^ 8);
    return out;
}

QByteArray sampleText()
{
    return "xD\nEMB\nEMS\t" + Gbk::fromUnicode(QStringLiteral("特快")) + "\nSEA\tsea\n\nEME\n\nGPB\n" +
           "0,1\tBJ\tBEIJING\t100000\t" + Gbk::fromUnicode(QStringLiteral("北京")) + "\t" +
           Gbk::fromUnicode(QStringLiteral("中国")) + "\n2,7\tUS\tAMERICA\t\tUSA\tUnited States\n\nGPE\n\nEPB\nEMS\n" +
           Gbk::fromUnicode(QStringLiteral("北京")) + "\tUSA\t\n\nEPE\n\a";
}

void configure(const TempRoot &root, const QByteArray &host)
{
    ASSERT_EQ(runQuarvelctl(args(root, {"config", "set", "host", host.constData()})).code, 0);
    ASSERT_EQ(runQuarvelctl(args(root, {"config", "set", "site", "S01"})).code, 0);
}

} // namespace

TEST(NetCommands, ConfigSetWritesTheFileAndRefusesBadValues)
{
    TempRoot root;
    configure(root, "127.0.0.1:8080");
    EXPECT_EQ(root.read(QStringLiteral("DATA_SYS/server.cfg")), "host=127.0.0.1:8080\nsite=S01\n");
    const CtlResult shown = runQuarvelctl(args(root, {"config", "show"}));
    EXPECT_EQ(shown.out, "host=127.0.0.1:8080\nsite=S01\n");

    const CtlResult bad = runQuarvelctl(args(root, {"config", "set", "host", "no such host"}));
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(bad.errText().startsWith(QStringLiteral("服务器地址不正确：no such host")));
    EXPECT_EQ(runQuarvelctl(args(root, {"config", "set", "port", "80"})).code, 2);
    EXPECT_EQ(runQuarvelctl(args(root, {"config", "set", "host"})).code, 2);
    EXPECT_EQ(root.read(QStringLiteral("DATA_SYS/server.cfg")), "host=127.0.0.1:8080\nsite=S01\n");
}

TEST(NetCommands, BaseDataDownloadAndShow)
{
    TempRoot root;
    ScriptedHttpServer server;
    configure(root, server.host());
    server.reply("HTTP/1.0 200 OK\r\n\r\nC" + sampleText());
    const CtlResult download = runQuarvelctl(args(root, {"basedata", "download"}));
    ASSERT_EQ(download.code, 0) << download.err.toStdString();
    EXPECT_EQ(download.errText(), QStringLiteral("系统基本数据更新完成。\n"));
    EXPECT_EQ(root.read(QStringLiteral("DATA_SYS/0.dat")), xored(sampleText()));
    EXPECT_TRUE(server.requests().first().startsWith("GET /cgi-bin/VEdiz.dll?KVGetSysData&w=S01 HTTP/1.0\r\n"));

    const CtlResult show = runQuarvelctl(args(root, {"basedata", "show", "--json"}));
    ASSERT_EQ(show.code, 0);
    const QJsonObject all = QJsonDocument::fromJson(show.out).object();
    EXPECT_EQ(all.value(QStringLiteral("mode")).toString(), QStringLiteral("D"));
    const QJsonArray kinds = all.value(QStringLiteral("kinds")).toArray();
    ASSERT_EQ(kinds.size(), 2);
    EXPECT_EQ(kinds[0].toObject().value(QStringLiteral("code")).toString(), QStringLiteral("EMS"));
    EXPECT_EQ(kinds[0].toObject().value(QStringLiteral("name")).toString(), QStringLiteral("特快"));
    EXPECT_EQ(kinds[0].toObject().value(QStringLiteral("served")).toArray(),
              (QJsonArray{QStringLiteral("北京"), QStringLiteral("USA")}));
    EXPECT_TRUE(kinds[1].toObject().value(QStringLiteral("served")).isNull()) << "no line for this kind";
    const QJsonArray destinations = all.value(QStringLiteral("destinations")).toArray();
    ASSERT_EQ(destinations.size(), 2);
    const QJsonObject us = destinations[1].toObject();
    EXPECT_EQ(us.value(QStringLiteral("sequence")).toInt(), 2);
    EXPECT_EQ(us.value(QStringLiteral("region")).toInt(), 2);
    EXPECT_EQ(us.value(QStringLiteral("second")).toInt(), 7);
    EXPECT_EQ(us.value(QStringLiteral("firstKey")).toString(), QStringLiteral("US"));
    EXPECT_EQ(us.value(QStringLiteral("secondKey")).toString(), QStringLiteral("AMERICA"));
    EXPECT_EQ(us.value(QStringLiteral("postcode")).toString(), QString());
    EXPECT_EQ(us.value(QStringLiteral("name")).toString(), QStringLiteral("USA"));
    EXPECT_EQ(us.value(QStringLiteral("country")).toString(), QStringLiteral("United States"));
    EXPECT_EQ(destinations[0].toObject().value(QStringLiteral("postcode")).toString(), QStringLiteral("100000"));

    // A failed download says so, exits 2 and keeps the file.
    server.reply("HTTP/1.0 200 OK\r\n\r\nCcut off");
    const CtlResult failed = runQuarvelctl(args(root, {"basedata", "download"}));
    EXPECT_EQ(failed.code, 2);
    EXPECT_TRUE(failed.errText().startsWith(QStringLiteral("系统基本数据下载失败[ Ret:-104]")));
    EXPECT_EQ(root.read(QStringLiteral("DATA_SYS/0.dat")), xored(sampleText()));
}

TEST(NetCommands, BalanceLogsInFirst)
{
    TempRoot root;
    ScriptedHttpServer server;
    configure(root, server.host());
    server.reply("HTTP/1.0 200 OK\r\n\r\n0,42,7001,1");
    server.reply(ScriptedHttpServer::ok("1\n5000\n-1200.5\n9\n300.25\n4\n100\n2\n"));
    const CtlResult run = runQuarvelctl(args(root, {"--account", "alice", "--password-stdin", "balance"}), "secret\n");
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QString out = QString::fromUtf8(run.out);
    EXPECT_TRUE(out.startsWith(QStringLiteral("业务结算情况\n")));
    EXPECT_TRUE(out.contains(QStringLiteral("信用额度:     5000.00\n")));
    EXPECT_TRUE(out.contains(QStringLiteral("未核金额:      400.25[6票]\n")));
    EXPECT_FALSE(out.contains(u'\r'));
    EXPECT_TRUE(run.errText().contains(QStringLiteral("登入验证成功！[1]")));
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_TRUE(server.requests().at(0).startsWith("GET /cgi-bin/VEdiz.dll?KVLogin&w=S01&ac=alice&md5="));
    EXPECT_TRUE(server.requests().at(1).contains("<AC>alice</AC><OP>5</OP><ID>0</ID><NUMBER>1</NUMBER>"));
    EXPECT_TRUE(server.requests().at(1).contains("<RAND>7001</RAND>"));
    EXPECT_EQ(root.read(QStringLiteral("DATA_SYS/last.dat")), "alice") << "remembered at exit";
}

TEST(NetCommands, BalanceFailures)
{
    TempRoot root;
    ScriptedHttpServer server;
    configure(root, server.host());

    server.reply("HTTP/1.0 200 OK\r\n\r\n-4");
    const CtlResult refused = runQuarvelctl(args(root, {"--account", "alice", "--password-stdin", "balance"}), "x\n");
    EXPECT_EQ(refused.code, 1) << "refused by the server";
    EXPECT_EQ(refused.errText(), QStringLiteral("密码不正确。\n"));
    EXPECT_EQ(server.requests().size(), 1) << "no balance request without a session";
    EXPECT_TRUE(root.read(QStringLiteral("DATA_SYS/last.dat")).isEmpty());

    const CtlResult noAccount = runQuarvelctl(args(root, {"balance"}));
    EXPECT_EQ(noAccount.code, 2);
    EXPECT_TRUE(noAccount.errText().contains(QStringLiteral("--account")));
    EXPECT_EQ(server.connections(), 1);

    server.reply("HTTP/1.0 200 OK\r\n\r\n0,42,7001,1");
    server.reply(ScriptedHttpServer::ok("-15"));
    const CtlResult expired = runQuarvelctl(args(root, {"--account", "alice", "--password-stdin", "balance"}), "x\n");
    EXPECT_EQ(expired.code, 1);
    EXPECT_TRUE(expired.errText().endsWith(QStringLiteral("未登入或工作期错误。\n")));
    EXPECT_TRUE(expired.out.isEmpty());

    // The last account is offered when --account is left out.
    server.reply("HTTP/1.0 200 OK\r\n\r\n0,42,7001,1");
    server.reply(ScriptedHttpServer::ok("1\n1\n"));
    EXPECT_EQ(runQuarvelctl(args(root, {"--password-stdin", "balance"}), "x\n").code, 0);
    EXPECT_TRUE(server.requests().last().contains("<AC>alice</AC>"));
}
