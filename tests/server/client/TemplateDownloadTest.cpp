#include "print/TemplateDownload.h"
#include "app/ScriptedPrompter.h"
#include "app/ShippedData.h"
#include "net/ServerSession.h"
#include "support/ScriptedHttpServer.h"
#include "support/TarvoServer.h"
#include "support/TempRoot.h"
#include "support/WorkbookBytes.h"
#include "text/Gbk.h"

#include <QDirIterator>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

QByteArray gbk(const char *utf8)
{
    return Gbk::fromUnicode(QString::fromUtf8(utf8));
}

const QByteArray kWorkbook = workbookBytes("sheet");

QByteArray templateReply(const QByteArray &txt, const QByteArray &xls)
{
    return "+0\n" + QByteArray::number(txt.size() - 1) + "\n" + QByteArray::number(xls.size()) + "\n" + txt + xls;
}

struct Download {
    explicit Download(const QByteArray &host)
    {
        session.configure(host, QStringLiteral("DEMO"));
        session.setTimeouts({2000, 2000, 2000});
    }
    QString folder() const { return root.file(QStringLiteral("DATA_MODEL")); }
    int run() { return TemplateDownload::Download(session, folder(), prompter); }
    QStringList files() const
    {
        QStringList all;
        for (QDirIterator it(root.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            all << it.next().mid(root.path().size());
        all.sort();
        return all;
    }

    TempRoot root;
    ServerSession session;
    ScriptedPrompter prompter;
};

QByteArray shipped(const QString &name)
{
    QFile f(quarvel::ShippedData::Folder() + u'/' + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(TemplateDownload, TheDemoServersTemplatesArriveWholeThroughItsRedirect)
{
    TarvoServer redirecting;
    TarvoServer target;
    ASSERT_TRUE(TarvoServer::startRedirectPair(redirecting, target));
    Download d(redirecting.host().toLatin1());
    EXPECT_EQ(d.run(), 4);
    EXPECT_EQ(d.prompter.lastText(), QStringLiteral("共下载更新 4 个打印模版。"));
    EXPECT_EQ(d.files().size(), 8);
    EXPECT_EQ(d.root.read(QStringLiteral("DATA_MODEL/TAB_默认面单.xls")),
              shipped(QStringLiteral("DATA_MODEL/TAB_默认面单.xls")));
    EXPECT_EQ(d.root.read(QStringLiteral("DATA_MODEL/TAB_默认面单.txt")),
              shipped(QStringLiteral("DATA_MODEL/TAB_默认面单.txt")));
    EXPECT_EQ(d.root.read(QStringLiteral("DATA_MODEL/TAB_简易面单.txt")),
              shipped(QStringLiteral("demo-templates/TAB_简易面单.txt")));
}

TEST(TemplateDownload, HostileNamesAndCutRepliesWriteNothingOutsideOrHalf)
{
    ScriptedHttpServer server;
    Download d(server.host());
    d.root.write(QStringLiteral("DATA_MODEL/TAB_CUT.txt"), "good");
    d.root.write(QStringLiteral("DATA_MODEL/TAB_CUT.xls"), kWorkbook);
    server.reply(ScriptedHttpServer::ok("+6\n1../../outside\n1sub/inner\n1back\\slash\n1CUT\n1JUNK\n1OK\n"));
    server.reply(ScriptedHttpServer::ok("+0\n9\n100\n0123456789" + kWorkbook)); // CUT: fewer bytes than it says
    server.reply(ScriptedHttpServer::ok(templateReply("txt!", "not a workbook")));
    server.reply(
        ScriptedHttpServer::ok(templateReply(gbk("<列表定义开始>\r\n收件人=B2\r\n<列表定义结束>\r\n"), kWorkbook)));
    EXPECT_EQ(d.run(), 1);
    const QList<QByteArray> requests = server.requests();
    ASSERT_EQ(requests.size(), 4) << "the bad names were never asked for";
    EXPECT_TRUE(requests[1].endsWith("\r\n\r\nw=DEMO&cmodel=CUT"));
    EXPECT_EQ(d.files(),
              (QStringList{QStringLiteral("DATA_MODEL/TAB_CUT.txt"), QStringLiteral("DATA_MODEL/TAB_CUT.xls"),
                           QStringLiteral("DATA_MODEL/TAB_OK.txt"), QStringLiteral("DATA_MODEL/TAB_OK.xls")}));
    EXPECT_EQ(d.root.read(QStringLiteral("DATA_MODEL/TAB_CUT.txt")), QByteArray("good"))
        << "a cut reply replaces nothing";
    EXPECT_EQ(d.root.read(QStringLiteral("DATA_MODEL/TAB_OK.xls")), kWorkbook);
}

TEST(TemplateDownload, AnOversizedReplyIsCutByTheBufferAndSkipped)
{
    ScriptedHttpServer server;
    Download d(server.host());
    const QByteArray big = kWorkbook + QByteArray(300000, 'x');
    server.reply(ScriptedHttpServer::ok("+1\n2BIG\n"));
    server.reply(ScriptedHttpServer::ok(templateReply("definition", big)));
    EXPECT_EQ(d.run(), 0);
    EXPECT_EQ(d.prompter.lastText(), QStringLiteral("共下载更新 0 个打印模版。"));
    EXPECT_TRUE(d.files().isEmpty());
}

TEST(TemplateDownload, NoReplyIsAFailedUpdate)
{
    ScriptedHttpServer server;
    Download d(server.host());
    server.closeAfterRequest();
    EXPECT_EQ(d.run(), -1);
    EXPECT_EQ(d.prompter.lastText(), QStringLiteral("未能读取服务器数据。更新失败"));
    EXPECT_EQ(d.prompter.shown().last().kind, ScriptedPrompter::Kind::Error);
    // A server that names another one which does not answer.
    server.reply(ScriptedHttpServer::ok("127.0.0.9"));
    EXPECT_EQ(d.run(), -1);
    EXPECT_TRUE(d.files().isEmpty());
}

TEST(TemplateDownload, ARedirectEndsAtItsNulAndNothingAfterItReachesTheRequest)
{
    ScriptedHttpServer first("127.0.0.1");
    ASSERT_TRUE(first.listening());
    ScriptedHttpServer second("127.0.0.2", first.port());
    ASSERT_TRUE(second.listening()) << "127.0.0.2 must be reachable on loopback";
    Download d(first.host());
    first.reply(ScriptedHttpServer::ok(QByteArray("127.0.0.2\0junk\r\nX-Injected: 1\r\n", 32)));
    second.reply(ScriptedHttpServer::ok("+1\n1OK\n"));
    second.reply(ScriptedHttpServer::ok(templateReply(gbk("<列表定义开始>\r\n<列表定义结束>\r\n"), kWorkbook)));
    EXPECT_EQ(d.run(), 1);
    const QList<QByteArray> requests = second.requests();
    ASSERT_EQ(requests.size(), 2);
    for (const QByteArray &request : requests) {
        EXPECT_TRUE(request.contains("\r\nHost: " + second.host() + "\r\n")) << request.constData();
        EXPECT_FALSE(request.contains("junk"));
        EXPECT_FALSE(request.contains("X-Injected"));
        EXPECT_FALSE(request.contains('\0'));
    }
    EXPECT_EQ(d.root.read(QStringLiteral("DATA_MODEL/TAB_OK.xls")), kWorkbook);
}
