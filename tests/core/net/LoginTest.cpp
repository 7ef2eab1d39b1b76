#include "app/ScriptedPrompter.h"
#include "net/LoginDigest.h"
#include "net/LoginForm.h"
#include "net/LoginReply.h"
#include "net/ServerLogin.h"
#include "net/ServerSession.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

using namespace quarvel;

TEST(LoginDigest, TimeSaltedMd5InLowercaseHex)
{
    EXPECT_EQ(LoginDigest::compute(1700000000, "secret"), "7e3465759a2bfeeab75bb0160a761ea9");
    EXPECT_EQ(LoginDigest::compute(1700000000, Gbk::fromUnicode(QStringLiteral("密码"))),
              "fdb72db6e53aea9cb5819f0feb4bde41");
    EXPECT_EQ(LoginDigest::compute(1700000000, {}), "7aabd83c37dfcb629d59268cdeb490aa");
}

TEST(LoginDigest, PathCarriesTheSameTimeAsTheDigestAndTheAccountUnencoded)
{
    const QByteArray account = Gbk::fromUnicode(QStringLiteral("王&x"));
    EXPECT_EQ(ServerLogin::path(QStringLiteral("S01"), account, 1700000000, "secret"),
              "/cgi-bin/VEdiz.dll?KVLogin&w=S01&ac=\xcd\xf5&x&md5=7e3465759a2bfeeab75bb0160a761ea9&it=1700000000");
}

TEST(LoginReply, AcceptedWithoutDefaultLines)
{
    const LoginReply r = LoginReply::parse("0,42,7001,1");
    EXPECT_TRUE(r.accepted());
    EXPECT_EQ(r.clientId, 42);
    EXPECT_EQ(r.sessionNumber, 7001);
    EXPECT_EQ(r.uploadTarget, 1);
    EXPECT_FALSE(r.defaultsPresent);
    for (const auto &line : r.lines)
        EXPECT_FALSE(line.has_value());
    // Any one character separates the numbers.
    const LoginReply other = LoginReply::parse("0|5 9\t2\nignored\n");
    EXPECT_EQ(other.clientId, 5);
    EXPECT_EQ(other.sessionNumber, 9);
    EXPECT_EQ(other.uploadTarget, 2);
    EXPECT_FALSE(other.lines[0].has_value()) << "status 0 carries no default lines";
}

TEST(LoginReply, SixDefaultLinesWithTheirLimits)
{
    const QByteArray place = Gbk::fromUnicode(QStringLiteral("北京分拨中心"));
    LoginReply r = LoginReply::parse("1,42,7001,2\nBJS\nSHA\n" + place + "\ninfo\nBeijing hub\narrived\n");
    ASSERT_TRUE(r.accepted());
    EXPECT_TRUE(r.defaultsPresent);
    EXPECT_EQ(r.lines[0], "BJS");
    EXPECT_EQ(r.lines[1], "SHA");
    EXPECT_EQ(r.lines[2], place);
    EXPECT_EQ(r.lines[5], "arrived");

    // Line 1 is kept even when empty; empty later lines keep the old values.
    r = LoginReply::parse("1,42,7001,2\n\n\nplace\n\n\n\n");
    EXPECT_EQ(r.lines[0], QByteArray(""));
    EXPECT_FALSE(r.lines[1].has_value());
    EXPECT_EQ(r.lines[2], "place");
    EXPECT_FALSE(r.lines[3].has_value());

    // A line 3 of 127 bytes stops the parse: lines 1 and 2 stay stored.
    r = LoginReply::parse("1,42,7001,2\nA\nB\n" + QByteArray(127, 'p') + "\ni\npe\nie\n");
    EXPECT_EQ(r.lines[0], "A");
    EXPECT_EQ(r.lines[1], "B");
    EXPECT_FALSE(r.lines[2].has_value());
    EXPECT_FALSE(r.lines[5].has_value());
    r = LoginReply::parse("1,42,7001,2\nA\nB\n" + QByteArray(126, 'p') + "\n");
    EXPECT_EQ(r.lines[2]->size(), 126);
    EXPECT_FALSE(r.lines[3].has_value()) << "no line feed, no line";
    EXPECT_FALSE(LoginReply::parse("1,42,7001,2\n" + QByteArray(16, 's') + "\nB\n").lines[0].has_value());

    // A line feed right after a lead byte belongs to that character.
    r = LoginReply::parse("1,42,7001,2\nA\xb1\nB\nC\n");
    EXPECT_EQ(r.lines[0], "A\xb1\nB");
    EXPECT_EQ(r.lines[1], "C");
}

TEST(LoginReply, RefusalsBeyondTheTableAndAcceptancesWithoutSession)
{
    // The full table is exercised against a server; here the codes around it.
    for (const char *reply : {"-3", "-7", "-100\n"}) {
        EXPECT_FALSE(LoginReply::parse(reply).accepted()) << reply;
        EXPECT_EQ(LoginReply::parse(reply).refusalText(), QStringLiteral("网站服务器错误。")) << reply;
    }
    // An acceptance without a session number opens no session.
    for (const char *reply : {"0", "1,42,0,1", "garbage", ""}) {
        const LoginReply r = LoginReply::parse(reply);
        EXPECT_FALSE(r.accepted()) << reply;
        EXPECT_EQ(r.refusalText(), QStringLiteral("网站服务器错误。")) << reply;
    }
}

TEST(LoginForm, OpeningOfflineOffersTheLastAccount)
{
    TempRoot root;
    ServerSession session;
    LoginForm form(session, root.file(QStringLiteral("last.dat")));
    form.Open();
    EXPECT_EQ(form.statusText(), QStringLiteral("状态：没有登入！"));
    EXPECT_EQ(form.statusColor(), 0xFF0000u);
    EXPECT_TRUE(form.account.isEmpty());
    EXPECT_EQ(form.focus(), LoginForm::Focus::Account);

    root.write(QStringLiteral("last.dat"), Gbk::fromUnicode(QStringLiteral("王五")));
    form.Open();
    EXPECT_EQ(form.account, QStringLiteral("王五"));
    EXPECT_EQ(form.focus(), LoginForm::Focus::Password);
}

TEST(LoginForm, OpeningLoggedInShowsTheSession)
{
    TempRoot root;
    root.write(QStringLiteral("last.dat"), "someone-else");
    ServerSession session;
    session.applyLogin(LoginReply::parse("0,42,7001,1"), QStringLiteral("alice"), QStringLiteral("pw"));
    LoginForm form(session, root.file(QStringLiteral("last.dat")));
    form.Open();
    EXPECT_EQ(form.statusText(), QStringLiteral("状态：已登入成功！"));
    EXPECT_EQ(form.statusColor(), 0x00FF00u);
    EXPECT_EQ(form.account, QStringLiteral("alice"));
    EXPECT_EQ(form.password, QStringLiteral("pw"));
    EXPECT_EQ(form.focus(), LoginForm::Focus::LoginButton);
}

TEST(LoginForm, InputChecksComeBeforeAnyRequest)
{
    TempRoot root;
    ServerSession session;
    // Nothing listens here: a request would show a connection message.
    session.configure("127.0.0.1:1", QStringLiteral("S01"));
    LoginForm form(session, root.file(QStringLiteral("last.dat")));
    ScriptedPrompter p;

    form.account = QStringLiteral("   ");
    EXPECT_FALSE(form.Confirm(p));
    EXPECT_EQ(p.lastText(), QStringLiteral("[帐号]不得短于 1 字符。"));
    EXPECT_EQ(p.shown().last().title, QStringLiteral("数据错误"));

    // 16 Chinese characters fit the box (30 characters) but not 30 GBK bytes.
    form.account = QString(16, QChar(0x738B));
    EXPECT_FALSE(form.Confirm(p));
    EXPECT_EQ(p.lastText(), QStringLiteral("[帐号]长度不得超过 30 字符。"));

    form.account = QStringLiteral(" bob ");
    form.password = QString(31, u'x');
    EXPECT_FALSE(form.Confirm(p));
    EXPECT_EQ(p.lastText(), QStringLiteral("[密码]长度不得超过 30 字符。"));
    EXPECT_EQ(form.account, QStringLiteral("bob")) << "values are trimmed";
    EXPECT_EQ(p.shown().size(), 3);
    EXPECT_FALSE(session.loggedIn());
    EXPECT_EQ(form.outcome(), LoginForm::Outcome::Refused) << "a box's check refuses like the server";

    // Past the checks, a server that cannot be reached is told apart from a refusal.
    form.password = QStringLiteral("x");
    EXPECT_FALSE(form.Confirm(p));
    EXPECT_TRUE(p.lastText().startsWith(QStringLiteral("与服务器连接失败[ Ret:"))) << p.lastText().toStdString();
    EXPECT_EQ(form.outcome(), LoginForm::Outcome::NoConnection);
}
