#include "app/ScriptedPrompter.h"
#include "net/LoginDigest.h"
#include "net/LoginForm.h"
#include "net/LoginPrompt.h"
#include "net/ServerSession.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <QUrlQuery>

using namespace quarvel;

namespace {

const HttpTimeouts kQuick{400, 400, 400};
constexpr qint64 kNow = 1700000000;

QByteArray loginReply(const QByteArray &body)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nSet-Cookie: ASP=1; path=/\r\n\r\n" + body;
}

struct LoginFixture {
    explicit LoginFixture(const QByteArray &host)
    {
        session.configure(host, QStringLiteral("S01"));
        session.setTimeouts(kQuick);
        form.setClock([] { return kNow; });
    }
    bool logIn(const QString &account, const QString &password)
    {
        form.Open();
        form.account = account;
        form.password = password;
        return form.Confirm(prompter);
    }

    TempRoot root;
    ServerSession session;
    LoginForm form{session, root.file(QStringLiteral("last.dat"))};
    ScriptedPrompter prompter;
};

} // namespace

TEST(LoginExchange, RequestBytesAndAcceptedLogin)
{
    ScriptedHttpServer server;
    LoginFixture f(server.host());
    server.reply(loginReply("1,42,7001,2\nBJS\nSHA\n" + Gbk::fromUnicode(QStringLiteral("北京")) +
                            "\ninfo\nBeijing\narrived\n"));
    ASSERT_TRUE(f.logIn(QStringLiteral(" 王五 "), QStringLiteral("secret")));

    const QByteArray digest = LoginDigest::compute(kNow, "secret");
    EXPECT_EQ(server.requests().first(), "GET /cgi-bin/VEdiz.dll?KVLogin&w=S01&ac=\xcd\xf5\xce\xe5&md5=" + digest +
                                             "&it=1700000000 HTTP/1.0\r\nAccept: */*\r\nHost: " + server.host() +
                                             "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"
                                             "\r\n\r\n");
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("登入验证成功！[2]"));
    EXPECT_EQ(f.prompter.shown().last().kind, ScriptedPrompter::Kind::Inform);
    EXPECT_TRUE(f.session.loggedIn());
    EXPECT_EQ(f.session.account(), QStringLiteral("王五"));
    EXPECT_EQ(f.session.password(), QStringLiteral("secret"));
    EXPECT_EQ(f.session.clientId(), 42);
    EXPECT_EQ(f.session.sessionNumber(), 7001);
    EXPECT_EQ(f.session.uploadTarget(), 2);
    EXPECT_TRUE(f.session.defaultsPresent());
    EXPECT_EQ(f.session.defaultLine(ServerSession::StationCode), QStringLiteral("BJS"));
    EXPECT_EQ(f.session.defaultLine(ServerSession::Place), QStringLiteral("北京"));
    EXPECT_EQ(f.session.defaultLine(ServerSession::InformationEnglish), QStringLiteral("arrived"));
    EXPECT_TRUE(f.session.redirectHost().isEmpty());
}

TEST(LoginExchange, EveryRefusalKeepsTheSession)
{
    ScriptedHttpServer server;
    LoginFixture f(server.host());
    server.reply(loginReply("0,1,500,1"));
    ASSERT_TRUE(f.logIn(QStringLiteral("first"), QStringLiteral("pw")));

    const std::pair<QByteArray, QString> refusals[] = {
        {"-1", QStringLiteral("网站不存在。")},           {"-2", QStringLiteral("帐号不存在。")},
        {"-3", QStringLiteral("网站服务器错误。")},       {"-4", QStringLiteral("密码不正确。")},
        {"-5", QStringLiteral("帐号没有快件操作权限。")}, {"-6", QStringLiteral("本地系统时间错误，请核对订正。")},
        {"-7", QStringLiteral("网站服务器错误。")},
    };
    for (const auto &[reply, text] : refusals) {
        server.reply(loginReply(reply));
        EXPECT_FALSE(f.logIn(QStringLiteral("second"), QStringLiteral("other")));
        EXPECT_EQ(f.prompter.lastText(), text) << reply.constData();
        EXPECT_EQ(f.prompter.shown().last().kind, ScriptedPrompter::Kind::Error);
    }
    server.reply("HTTP/1.0 404 Not Found\r\n\r\n");
    EXPECT_FALSE(f.logIn(QStringLiteral("second"), QStringLiteral("other")));
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("与服务器连接失败[ Ret:-102]"));
    server.reply("HTTP/1.0 200 OK\r\n\r\n");
    EXPECT_FALSE(f.logIn(QStringLiteral("second"), QStringLiteral("other")));
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("与服务器连接失败[ Ret:0]"));

    EXPECT_EQ(f.session.account(), QStringLiteral("first"));
    EXPECT_EQ(f.session.sessionNumber(), 500);
    // The dialog's status line no longer claims success: it names the session in use.
    EXPECT_EQ(f.form.statusText(), QStringLiteral("状态：登入失败！仍使用原会话[first :: 1]"));
    EXPECT_EQ(f.form.statusColor(), LoginForm::kRed);
}

TEST(LoginExchange, UnreachableServer)
{
    int port = 0;
    {
        ScriptedHttpServer gone;
        port = gone.port();
    }
    LoginFixture f("127.0.0.1:" + QByteArray::number(port));
    EXPECT_FALSE(f.logIn(QStringLiteral("a"), QString()));
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("与服务器连接失败[ Ret:-120]"));
}

TEST(LoginExchange, RedirectToTheAddressTheServerNames)
{
    ScriptedHttpServer first("127.0.0.1");
    ASSERT_TRUE(first.listening());
    ScriptedHttpServer second("127.0.0.2", first.port());
    ASSERT_TRUE(second.listening()) << "127.0.0.2 must be reachable on loopback";
    LoginFixture f(first.host());
    first.reply(loginReply("127.0.0.2"));
    second.reply(loginReply("0,42,7001,1"));
    ASSERT_TRUE(f.logIn(QStringLiteral("alice"), QStringLiteral("pw")));
    EXPECT_EQ(f.session.redirectHost(), "127.0.0.2");
    EXPECT_EQ(f.session.CurrentServerHost(), second.host());
    ASSERT_EQ(second.requests().size(), 1);
    // The same request, with the new host, and without the first reply's cookie.
    QByteArray expected = first.requests().first();
    expected.replace("Host: " + first.host(), "Host: " + second.host());
    EXPECT_EQ(second.requests().first(), expected);

    // A later login asks the configured host first again; a second address
    // in a row is not followed but read as a reply, which opens no session.
    first.reply(loginReply("127.0.0.2"));
    second.reply(loginReply("127.0.0.3"));
    EXPECT_FALSE(f.logIn(QStringLiteral("bob"), QStringLiteral("pw")));
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("网站服务器错误。"));
    EXPECT_EQ(first.requests().size(), 2);
    EXPECT_EQ(second.requests().size(), 2);
    EXPECT_EQ(f.session.account(), QStringLiteral("alice"));

    // The redirect host stays even when the address named does not answer.
    ScriptedHttpServer third("127.0.0.1");
    LoginFixture g(third.host());
    third.reply(loginReply("127.0.0.9"));
    EXPECT_FALSE(g.logIn(QStringLiteral("a"), QString()));
    EXPECT_EQ(g.prompter.lastText(), QStringLiteral("与服务器连接失败[ Ret:-120]"));
    EXPECT_EQ(g.session.redirectHost(), "127.0.0.9");
}

namespace {

// A prompt that answers with one login attempt, as the command line does.
class OneAttempt : public LoginPrompt {
public:
    OneAttempt(LoginFixture &f, QString account) : f_(f), account_(std::move(account)) {}
    void showLogin(ServerSession &) override
    {
        ++shown;
        f_.logIn(account_, QStringLiteral("pw"));
    }
    int shown = 0;

private:
    LoginFixture &f_;
    QString account_;
};

} // namespace

TEST(LoginExchange, EnsureLoggedInAsksOnlyWithoutASession)
{
    ScriptedHttpServer server;
    LoginFixture f(server.host());
    OneAttempt prompt(f, QStringLiteral("alice"));
    server.reply(loginReply("-4"));
    EXPECT_FALSE(EnsureLoggedIn(f.session, prompt));
    server.reply(loginReply("0,42,7001,1"));
    EXPECT_TRUE(EnsureLoggedIn(f.session, prompt));
    EXPECT_TRUE(EnsureLoggedIn(f.session, prompt));
    EXPECT_EQ(prompt.shown, 2);
    EXPECT_EQ(server.requests().size(), 2);
}
