#include "app/ScriptedPrompter.h"
#include "app/TextClipboard.h"
#include "net/BalanceQuery.h"
#include "net/Envelope.h"
#include "net/LoginReply.h"
#include "net/ServerSession.h"
#include "support/ScriptedHttpServer.h"

#include <gtest/gtest.h>

#include <vector>

using namespace quarvel;

namespace {

class RecordingClipboard : public TextClipboard {
public:
    void setText(const QString &text) override { texts << text; }
    QStringList texts;
};

struct BalanceFixture {
    explicit BalanceFixture(const QByteArray &host)
    {
        session.configure(host, QStringLiteral("S01"));
        session.setTimeouts({400, 400, 400});
        session.setLocaleId(2052);
        session.applyLogin(LoginReply::parse("0,42,7001,1"), QStringLiteral("alice"), QString());
    }
    ServerSession session;
    ScriptedPrompter prompter;
    RecordingClipboard clipboard;
};

} // namespace

TEST(TransactionExchange, BalanceIsShownAndCopied)
{
    ScriptedHttpServer server;
    BalanceFixture f(server.host());
    server.reply(ScriptedHttpServer::ok("1\n5000\n-1200.5\n9\n300.25\n4\n100\n2\n"));
    ASSERT_TRUE(BalanceQuery::Run(f.session, f.prompter, f.clipboard));

    const QByteArray envelope = "<WER>1</WER><WCID>S01</WCID><AC>alice</AC><OP>5</OP><ID>0</ID><NUMBER>1</NUMBER>"
                                "<LCID>2052</LCID><RAND>7001</RAND><DATA>\a</DATA>\n";
    EXPECT_EQ(server.requests().first(),
              "POST /cgi-bin/VEdiz.dll?KVTrans HTTP/1.0\r\nAccept: */*\r\nHost: " + server.host() +
                  "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\nContent-Length: " +
                  QByteArray::number(envelope.size()) +
                  "\r\nContent-Type: text/xml; charset=gbk\r\nConnection: close\r\n\r\n" + envelope);
    ASSERT_EQ(f.prompter.shown().size(), 1);
    EXPECT_EQ(f.prompter.shown().first().kind, ScriptedPrompter::Kind::Inform);
    const QString text = f.prompter.lastText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("业务结算情况\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("未核金额:      400.25[6票]\r\n")));
    EXPECT_EQ(f.clipboard.texts, QStringList{text});
}

TEST(TransactionExchange, BalanceFailures)
{
    ScriptedHttpServer server;
    BalanceFixture f(server.host());
    const std::pair<QByteArray, QString> statuses[] = {
        {"0", QStringLiteral("没有查询结果。")},         {"-15\n", QStringLiteral("未登入或工作期错误。")},
        {"-108", QStringLiteral("查询命令错误。")},      {"-77", QStringLiteral("未知错误，查询失败。")},
        {"no number", QStringLiteral("没有查询结果。")},
    };
    for (const auto &[reply, text] : statuses) {
        server.reply(ScriptedHttpServer::ok(reply));
        EXPECT_FALSE(BalanceQuery::Run(f.session, f.prompter, f.clipboard));
        EXPECT_EQ(f.prompter.lastText(), text) << reply.constData();
    }
    server.reply("HTTP/1.0 500 Internal\r\n\r\n");
    EXPECT_FALSE(BalanceQuery::Run(f.session, f.prompter, f.clipboard));
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("通讯错误，查询失败。"));
    server.reply(ScriptedHttpServer::ok({}));
    const BalanceQuery::Result empty = BalanceQuery::Fetch(f.session);
    EXPECT_EQ(empty.outcome, BalanceQuery::Outcome::NoConnection) << "an empty body is a failed exchange";
    EXPECT_TRUE(f.clipboard.texts.isEmpty());
}

TEST(TransactionExchange, EnvelopesGoToTheRedirectHost)
{
    ScriptedHttpServer configured("127.0.0.1");
    ScriptedHttpServer redirected("127.0.0.2", configured.port());
    ASSERT_TRUE(redirected.listening());
    BalanceFixture f(configured.host());
    f.session.setRedirectHost("127.0.0.2");
    redirected.reply(ScriptedHttpServer::ok("5\nok"));
    std::vector<char> reply(1024);
    EXPECT_EQ(Envelope::Post(f.session, Envelope::shipmentInfo(f.session, 9), reply), 4);
    EXPECT_EQ(configured.connections(), 0);
    EXPECT_TRUE(redirected.requests().first().startsWith("POST /cgi-bin/VEdiz.dll?KVTrans HTTP/1.0\r\nAccept: */*\r\n"
                                                         "Host: 127.0.0.2:"));
}
