#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "support/Quarvelctl.h"
#include "support/TarvoData.h"
#include "support/TarvoServer.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"
#include "upload/UploadJournal.h"

#include "server/RawHttp.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

QStringList ctlArgs(const TempRoot &root, std::initializer_list<const char *> args)
{
    QStringList all{QStringLiteral("--root"), root.path()};
    for (const char *a : args)
        all << QString::fromUtf8(a);
    return all;
}

void addShipments(const TempRoot &root, const QStringList &numbers)
{
    ClientContext context(root.path());
    ScriptedPrompter prompter;
    ASSERT_TRUE(context.Start(prompter));
    for (const QString &number : numbers) {
        PreInputRecord r{};
        r.ddate = {2026, 1, 7};
        r.nitemtype = 1;
        r.fweight = 1.2;
        r.ngoodslines = 1;
        r.nweightlines = 1;
        Gbk::setField(r.cnum, number);
        Gbk::setField(r.cdes, QStringLiteral("北京"));
        Gbk::setField(r.cemskind, QStringLiteral("特快专递"));
        context.preInputs().Append(&r);
        GoodsRecord g{};
        g.iparent = r.iid;
        Gbk::setField(g.cname, QStringLiteral("茶叶"));
        context.goods().Append(&g);
        WeightRecord w{};
        w.iparent = r.iid;
        w.nweight = 1200;
        context.weights().Append(&w);
    }
    context.Shutdown();
}

// Waits until the server has taken every hook rule, so that the request a
// rule holds is under way.
bool hooksTaken(const TarvoServer &server)
{
    const RawHttp http(server.address(), server.port());
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        const RawReply r = http.exchange("GET /test-hooks HTTP/1.0\r\n\r\n");
        if (r.received && r.body.trimmed().isEmpty())
            return true;
        QThread::msleep(5);
    }
    return false;
}

} // namespace

TEST(UploadKill, AKillInsideABatchLeavesNothingTheServerHoldsBehind)
{
    TarvoServer server;
    TarvoServer::Options o;
    o.extra = QStringList{QStringLiteral("--test-hooks"), QStringLiteral("--quiet")};
    ASSERT_TRUE(server.start(o));
    TempRoot root;
    ASSERT_EQ(runQuarvelctl(ctlArgs(root, {"config", "set", "host", server.host().toUtf8().constData()})).code, 0);
    ASSERT_EQ(runQuarvelctl(ctlArgs(root, {"basedata", "download"})).code, 0);
    addShipments(root, {QStringLiteral("KB1"), QStringLiteral("KB2"), QStringLiteral("KB3"), QStringLiteral("KB4"),
                        QStringLiteral("KB5")});
    // The server holds the fourth a moment and then stores it: by then the
    // counter that sent it is dead.
    ASSERT_TRUE(server.setHooks("waybill=KB4 times=1 stall 0.5"));

    QProcess upload;
    upload.start(QStringLiteral(QUARVELCTL_PATH),
                 ctlArgs(root, {"--account", "demo", "--password-stdin", "upload", "--all"}));
    ASSERT_TRUE(upload.waitForStarted());
    upload.write("demo\n");
    upload.waitForBytesWritten();
    upload.closeWriteChannel();
    ASSERT_TRUE(hooksTaken(server));
    upload.kill();
    upload.waitForFinished();

    {
        // Three accepted, none deleted yet: the kill came inside the batch.
        ClientContext look(root.path());
        ScriptedPrompter prompter;
        ASSERT_TRUE(look.Start(prompter, RecordFile::Mode::ReadOnly));
        EXPECT_EQ(look.preInputs().GetCount(), 5);
    }
    QThread::msleep(700);
    TarvoData data(server.dataFile());
    EXPECT_EQ(data.text("SELECT group_concat(cnum) FROM (SELECT cnum FROM client_rec WHERE cnum LIKE 'KB%' "
                        "ORDER BY cnum)"),
              "KB1,KB2,KB3,KB4");

    // The next start finishes the three; the fourth, stored after its sender
    // died, is in doubt: the server answers that it holds the number, the
    // look-up shows it holds this very record, and it is finished too; the
    // fifth goes.
    const CtlResult again =
        runQuarvelctl(ctlArgs(root, {"--account", "demo", "--password-stdin", "upload", "--all"}), "demo\n");
    EXPECT_EQ(again.code, 0) << again.err.constData();
    const QStringList lines = QString::fromUtf8(again.out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << again.out.constData();
    const std::string kb4 = data.text("SELECT irid FROM client_rec WHERE cnum = 'KB4'");
    EXPECT_EQ(lines[0], QStringLiteral("4\t%1\t已上传(服务器已有此记录)").arg(QString::fromStdString(kb4)));
    EXPECT_TRUE(lines[1].startsWith(u"5\t") && lines[1].endsWith(QStringLiteral("\t上传成功")))
        << again.out.constData();
    EXPECT_EQ(data.text("SELECT count(*) FROM client_rec WHERE cnum LIKE 'KB%'"), "5");
    EXPECT_EQ(data.text("SELECT count(DISTINCT cnum) FROM client_rec WHERE cnum LIKE 'KB%'"), "5");

    ClientContext after(root.path());
    ScriptedPrompter prompter;
    ASSERT_TRUE(after.Start(prompter, RecordFile::Mode::ReadOnly));
    EXPECT_EQ(after.preInputs().GetCount(), 0);
    EXPECT_EQ(after.goods().GetCount(), 0) << "the finished records' lines went with them";
    EXPECT_EQ(after.weights().GetCount(), 0);
    EXPECT_FALSE(QFile::exists(root.file(UploadJournal::fileName()))) << "nothing is left open";
}
