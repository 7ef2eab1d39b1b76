#include "net/BaseDataDownload.h"
#include "app/ScriptedPrompter.h"
#include "net/BaseData.h"
#include "net/ServerSession.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempRoot.h"

using namespace quarvel;

namespace {

const QByteArray kText = "xD\nEMB\nEMS\tems\nEXP\texpress\n\nEME\n\nGPB\n0,0\tBJ\tBEIJING\t100000\tBeijing\tChina\n"
                         "\nGPE\n\nEPB\nEMS\nBeijing\t\n\nEPE\n\a";

QByteArray xored(const QByteArray &bytes)
{
    QByteArray out = bytes;
    for (char &c : out)
        c = static_cast<char>(c ^ 8);
    return out;
}

QByteArray reply(const QByteArray &body)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + body;
}

struct DownloadFixture {
    explicit DownloadFixture(const QByteArray &host)
    {
        session.configure(host, QStringLiteral("S01"));
        session.setTimeouts({400, 400, 400});
        QDir().mkpath(root.file(QStringLiteral("DATA_SYS")));
    }
    QString path() const { return root.file(QStringLiteral("DATA_SYS/0.dat")); }
    QByteArray stored() const { return root.read(QStringLiteral("DATA_SYS/0.dat")); }
    int download() { return DownloadBaseData(session, data, path(), prompter); }

    TempRoot root;
    ServerSession session;
    BaseData data;
    ScriptedPrompter prompter;
};

} // namespace

TEST(BaseDataDownload, StoresTheTextXoredAndLoadsIt)
{
    ScriptedHttpServer server;
    DownloadFixture f(server.host());
    server.reply(reply("C" + kText + "bytes after the BEL are not read"));
    EXPECT_EQ(f.download(), BaseDataDownload::Stored);
    EXPECT_EQ(server.requests().first(), "GET /cgi-bin/VEdiz.dll?KVGetSysData&w=S01 HTTP/1.0\r\nAccept: */*\r\nHost: " +
                                             server.host() + "\r\n\r\n");
    EXPECT_EQ(f.stored(), xored(kText));
    EXPECT_EQ(f.stored().right(1), "\x0f") << "the BEL is stored as 15";
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("系统基本数据更新完成。"));
    EXPECT_EQ(f.prompter.shown().last().kind, ScriptedPrompter::Kind::Inform);
    EXPECT_TRUE(f.data.volumeModeD());
    EXPECT_EQ(f.data.kindNames(), (QStringList{QStringLiteral("ems"), QStringLiteral("express")}));
    EXPECT_TRUE(f.data.kindByCode(QStringLiteral("EMS"))->serves(QStringLiteral("Beijing")));
    EXPECT_EQ(QDir(f.root.file(QStringLiteral("DATA_SYS"))).entryList(QDir::Files),
              QStringList{QStringLiteral("0.dat")});
}

TEST(BaseDataDownload, FailuresKeepThePreviousFile)
{
    ScriptedHttpServer server;
    DownloadFixture f(server.host());
    server.reply(reply("C" + kText));
    ASSERT_EQ(f.download(), BaseDataDownload::Stored);
    const QByteArray good = f.stored();

    // Cut off before its BEL, refused, empty, not base data, silent.
    server.reply(reply("CxD\nEMB\nNEW\tnew\n\nEME\n"));
    EXPECT_EQ(f.download(), BaseDataDownload::CutOff);
    server.reply("HTTP/1.0 404 Not Found\r\n\r\nC" + kText);
    EXPECT_EQ(f.download(), BaseDataDownload::NoBody);
    server.reply(reply({}));
    EXPECT_EQ(f.download(), BaseDataDownload::NoBody);
    server.reply(reply("<html>busy</html>"));
    EXPECT_EQ(f.download(), BaseDataDownload::NotBaseData);
    server.silent();
    EXPECT_EQ(f.download(), BaseDataDownload::NoBody);
    EXPECT_EQ(f.stored(), good);
    EXPECT_EQ(f.data.kinds().size(), 2);
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("系统基本数据下载失败[ Ret:-101]，继续使用原有的基本数据。"));
    EXPECT_EQ(f.prompter.shown().last().kind, ScriptedPrompter::Kind::Error);
    EXPECT_EQ(QDir(f.root.file(QStringLiteral("DATA_SYS"))).entryList(QDir::Files),
              QStringList{QStringLiteral("0.dat")})
        << "no temporary file is left behind";

    f.session.configure("127.0.0.1:1", QStringLiteral("S01"));
    EXPECT_EQ(f.download(), BaseDataDownload::NoConnection);
    EXPECT_EQ(f.stored(), good);
}

TEST(BaseDataDownload, FollowsOneRedirect)
{
    ScriptedHttpServer first("127.0.0.1");
    ScriptedHttpServer second("127.0.0.2", first.port());
    ASSERT_TRUE(second.listening());
    DownloadFixture f(first.host());
    first.reply(reply("127.0.0.2"));
    second.reply(reply("C" + kText));
    EXPECT_EQ(f.download(), BaseDataDownload::Stored);
    EXPECT_EQ(f.stored(), xored(kText));
    EXPECT_TRUE(second.requests().first().contains("Host: " + second.host() + "\r\n"));
    EXPECT_TRUE(f.session.redirectHost().isEmpty()) << "the download does not move the session";

    // Only one: an address in the second reply ends the download.
    first.reply(reply("127.0.0.2"));
    second.reply(reply("127.0.0.1"));
    EXPECT_EQ(f.download(), BaseDataDownload::Redirected);
    EXPECT_EQ(first.requests().size(), 2);
    EXPECT_EQ(f.stored(), xored(kText));
}

TEST(BaseDataDownload, UnwritableTargetIsReported)
{
    ScriptedHttpServer server;
    DownloadFixture f(server.host());
    server.reply(reply("C" + kText));
    ScriptedPrompter p;
    EXPECT_EQ(DownloadBaseData(f.session, f.data, f.root.file(QStringLiteral("missing/0.dat")), p),
              BaseDataDownload::NotWritten);
}
