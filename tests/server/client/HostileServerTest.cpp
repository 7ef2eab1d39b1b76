#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "app/TextClipboard.h"
#include "net/BalanceQuery.h"
#include "net/BaseDataDownload.h"
#include "net/LoginForm.h"
#include "net/LoginReply.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempRoot.h"
#include "support/UploadCounter.h"
#include "text/Gbk.h"
#include "upload/UploadRun.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace quarvel;

namespace {

using Clock = std::chrono::steady_clock;

const QByteArray kBaseText = "xN\nEMB\nEMS\tems\n\nEME\n\nGPB\n0,0\tBJ\tBEIJING\t100000\tBeijing\tChina\n\nGPE\n"
                             "\nEPB\nEMS\nBeijing\t\n\nEPE\n\a";

// Waits short enough that every test here ends in about a second, and a
// deadline shorter than the reply a trickling server sends.
HttpTimeouts quick()
{
    HttpTimeouts t{400, 400, 400};
    t.requestMs = 600;
    t.downloadMs = 600;
    return t;
}

// A reply that takes 20 s to arrive at one byte every 100 ms, each byte well
// within the receive wait.
void trickle(ScriptedHttpServer &server, const QByteArray &reply)
{
    server.trickle(reply + QByteArray(200, ' '), 100);
}

QByteArray baseReply(const QByteArray &body)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + body;
}

class NoClipboard : public TextClipboard {
public:
    void setText(const QString &) override {}
};

// A counter logged in to a scripted server: its base data, one shipment in
// its files, and the session of an accepted login.
struct ScriptedCounter {
    ScriptedCounter()
    {
        EXPECT_TRUE(server.listening());
        EXPECT_TRUE(context.Start(prompter));
        context.baseData().parse(kBaseText);
        ServerSession &s = context.session();
        s.configure(server.host(), QStringLiteral("S01"));
        s.setTimeouts(quick());
        s.applyLogin(LoginReply::parse("0,42,7001,1"), QStringLiteral("alice"), QString());
        PreInputRecord r{};
        r.ddate = {2026, 1, 7};
        r.fweight = 1.2;
        Gbk::setField(r.cnum, QStringLiteral("H1"));
        Gbk::setField(r.cemskind, QStringLiteral("ems"));
        Gbk::setField(r.cdes, QStringLiteral("Beijing"));
        context.preInputs().Append(&r);
        GoodsRecord g{};
        g.iparent = r.iid;
        context.goods().Append(&g);
        id = r.iid;
    }

    RecordingDisplay upload()
    {
        RecordingDisplay display;
        UploadRun run(context, UploadKind::Shipments);
        run.Prepare({id});
        EXPECT_TRUE(run.Start());
        run.DrainUntilEnded(display);
        return display;
    }

    bool stillLocal() { return context.preInputs().Find(id) != nullptr && context.goods().GetCount() == 1; }

    ScriptedHttpServer server;
    TempRoot root;
    ScriptedPrompter prompter;
    ClientContext context{root.path()};
    int id = 0;
};

} // namespace

TEST(HostileServer, OnlyAPlain200WithItsWholeBodyAcceptsAnUpload)
{
    ScriptedCounter c;
    const QByteArray replies[] = {
        // The chunk size "3" of a chunked "-1" would read as status 3.
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\n-1\n\r\n0\r\n\r\n",
        // "200" elsewhere in the status line.
        "HTTP/1.0 404 Not Found 200\r\nContent-Length: 2\r\n\r\n5\n",
        // "5" of a declared "57\n": cut off, the status is unknown.
        "HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\n5",
        // Bytes after a declared empty body are not the body.
        "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n5\n",
    };
    for (const QByteArray &reply : replies) {
        c.server.reply(reply);
        const RecordingDisplay d = c.upload();
        EXPECT_NE(d.ending, UploadEnding::AllSent) << reply.constData();
        EXPECT_TRUE(d.removedIds().isEmpty()) << reply.constData();
        EXPECT_TRUE(c.stillLocal()) << reply.constData();
    }
    // The plain reply is accepted, so the refusals above were the replies'.
    c.server.reply(ScriptedHttpServer::ok("5\n"));
    EXPECT_EQ(c.upload().removedIds(), QList<int>{c.id});
    EXPECT_EQ(c.context.preInputs().GetCount(), 0);
}

TEST(HostileServer, ATricklingServerCannotHoldARequestPastItsDeadline)
{
    ScriptedCounter c;
    const auto start = Clock::now();

    trickle(c.server, ScriptedHttpServer::ok("5\n"));
    const RecordingDisplay d = c.upload();
    EXPECT_EQ(d.ending, UploadEnding::TransportFailed);
    EXPECT_EQ(d.endText, QStringLiteral("服务器应答超时。"));
    EXPECT_TRUE(c.stillLocal());

    NoClipboard clipboard;
    trickle(c.server, ScriptedHttpServer::ok("1\n5000.00\n1200.50\n0\n23.00\n1\n18.00\n1\n"));
    EXPECT_FALSE(BalanceQuery::Run(c.context.session(), c.prompter, clipboard));
    EXPECT_EQ(c.prompter.lastText(), QStringLiteral("通讯错误，查询失败。"));

    trickle(c.server, baseReply("C" + kBaseText));
    EXPECT_EQ(BaseDataDownload::Fetch(c.context.session(), c.context.baseDataPath()), BaseDataDownload::NoBody);

    trickle(c.server, baseReply("0,42,7001,1\n"));
    LoginForm form(c.context.session(), c.context.lastAccountPath());
    form.Open();
    form.account = QStringLiteral("alice");
    form.password = QStringLiteral("pw");
    EXPECT_FALSE(form.Confirm(c.prompter));
    EXPECT_EQ(c.prompter.lastText(), QStringLiteral("与服务器连接失败[ Ret:-121]"));

    // Four requests of 20 s each, every one ended by its 600 ms deadline.
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

TEST(HostileServer, BaseDataThatNeverEndsOrHoldsNothingKeepsTheGoodOne)
{
    ScriptedCounter c;
    c.server.reply(baseReply("C" + kBaseText));
    ASSERT_EQ(DownloadBaseData(c.context.session(), c.context.baseData(), c.context.baseDataPath(), c.prompter),
              BaseDataDownload::Stored);
    TempRoot &root = c.root;
    const QByteArray good = root.read(QStringLiteral("DATA_SYS/0.dat"));

    // Beyond the cap the download stops, however the body would have ended.
    c.server.reply(baseReply("C" + QByteArray(BaseDataDownload::kMaxBytes, 'x') + '\a'));
    EXPECT_EQ(DownloadBaseData(c.context.session(), c.context.baseData(), c.context.baseDataPath(), c.prompter),
              BaseDataDownload::TooLarge);
    // A whole body with no kinds, or kinds without a destination.
    for (const QByteArray &body : {QByteArray("CxN\nEMB\n\nEME\n\a"), QByteArray("C\a"),
                                   QByteArray("CxN\nEMB\nNEW\tnew\n\nEME\n\nGPB\n\nGPE\n\a")}) {
        c.server.reply(baseReply(body));
        EXPECT_EQ(DownloadBaseData(c.context.session(), c.context.baseData(), c.context.baseDataPath(), c.prompter),
                  BaseDataDownload::Empty)
            << body.constData();
        EXPECT_EQ(c.prompter.lastText(), QStringLiteral("系统基本数据下载失败[ Ret:-106]，继续使用原有的基本数据。"));
    }
    EXPECT_EQ(root.read(QStringLiteral("DATA_SYS/0.dat")), good);
    EXPECT_EQ(c.context.baseData().kindNames(), QStringList{QStringLiteral("ems")});
    EXPECT_EQ(c.context.baseData().destinations().size(), 1);
    EXPECT_EQ(c.prompter.texts().count(QStringLiteral("系统基本数据更新完成。")), 1);
}

TEST(HostileServer, ABalanceCutInTheMiddleOfANumberIsNoBalance)
{
    ScriptedCounter c;
    NoClipboard clipboard;
    // Without a declared length the body ends where the server closed.
    for (const QByteArray &body :
         {QByteArray("1\n5000.00\n1200.5"), QByteArray("1\n5000.00\n1200.50\n0\n2"), QByteArray("1\n5000.00\nabc\n"),
          QByteArray("1\n5000.00\n12e3\n"), QByteArray("1x\n5000.00\n")}) {
        c.server.reply("HTTP/1.0 200 OK\r\n\r\n" + body);
        const BalanceQuery::Result r = BalanceQuery::Fetch(c.context.session());
        EXPECT_EQ(r.outcome, BalanceQuery::Outcome::Malformed) << body.constData();
        EXPECT_EQ(r.text, QStringLiteral("结算数据不完整，查询失败。"));
    }
    c.server.reply("HTTP/1.0 200 OK\r\n\r\n1\n5000.00\n1200.5");
    EXPECT_FALSE(BalanceQuery::Run(c.context.session(), c.prompter, clipboard));
    EXPECT_EQ(c.prompter.shown().last().kind, ScriptedPrompter::Kind::Error);
    EXPECT_EQ(c.prompter.lastText(), QStringLiteral("结算数据不完整，查询失败。"));

    // Whole lines, however few, are a balance.
    c.server.reply("HTTP/1.0 200 OK\r\n\r\n1\n5000.00\n1200.5\n");
    const BalanceQuery::Result r = BalanceQuery::Fetch(c.context.session());
    EXPECT_EQ(r.outcome, BalanceQuery::Outcome::Shown);
    EXPECT_TRUE(r.text.contains(QStringLiteral("结算余额:     1200.50\r\n")));
}
