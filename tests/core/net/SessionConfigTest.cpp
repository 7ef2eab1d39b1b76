#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "net/LastAccount.h"
#include "net/LocaleId.h"
#include "net/LoginReply.h"
#include "net/ServerConfig.h"
#include "net/ServerSession.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

using namespace quarvel;

namespace {

void logIn(ServerSession &session, const QString &account)
{
    session.applyLogin(LoginReply::parse("0,42,7001,1"), account, QStringLiteral("pw"));
}

} // namespace

TEST(ServerSession, CurrentHostAndCaption)
{
    ServerSession session;
    session.configure("tarvo.example:8080", QStringLiteral("S01"));
    EXPECT_EQ(session.CurrentServerHost(), "tarvo.example:8080");
    session.setRedirectHost("10.1.2.3");
    EXPECT_EQ(session.CurrentServerHost(), "10.1.2.3:8080") << "the configured port stays";
    ServerSession plain;
    plain.configure("tarvo.example", QStringLiteral("S01"));
    plain.setRedirectHost("10.1.2.3");
    EXPECT_EQ(plain.CurrentServerHost(), "10.1.2.3");

    const QString title = ClientContext::applicationTitle();
    EXPECT_EQ(session.Caption(title), QStringLiteral("Quarvel-客户端 - 离线状态"));
    logIn(session, QStringLiteral("王五"));
    EXPECT_EQ(session.Caption(title), QStringLiteral("Quarvel-客户端 - 已登入[王五 :: 42]"));
}

TEST(ServerSession, LaterLoginKeepsDefaultLinesItDoesNotCarry)
{
    ServerSession session;
    session.applyLogin(LoginReply::parse("1,7,100,2\nBJS\nSHA\nplace\ninfo\nplaceEn\ninfoEn\n"), QStringLiteral("a"),
                       QStringLiteral("p"));
    session.applyLogin(LoginReply::parse("1,8,200,1\n\n\n\nnew info\n\n\n"), QStringLiteral("b"), QStringLiteral("q"));
    EXPECT_EQ(session.defaultLine(ServerSession::StationCode), QString());
    EXPECT_EQ(session.defaultLine(ServerSession::SecondStationCode), QStringLiteral("SHA"));
    EXPECT_EQ(session.defaultLine(ServerSession::Information), QStringLiteral("new info"));
    EXPECT_EQ(session.defaultLine(ServerSession::InformationEnglish), QStringLiteral("infoEn"));
    EXPECT_EQ(session.clientId(), 8);
    EXPECT_EQ(session.uploadTarget(), 1);
    EXPECT_EQ(session.account(), QStringLiteral("b"));
    session.applyLogin(LoginReply::parse("0,9,300,1"), QStringLiteral("c"), QStringLiteral("r"));
    EXPECT_FALSE(session.defaultsPresent());
    EXPECT_EQ(session.defaultLine(ServerSession::SecondStationCode), QStringLiteral("SHA"));
}

TEST(LocaleId, WindowsIdsOfLocales)
{
    EXPECT_EQ(LocaleId::of(QLocale(QLocale::Chinese, QLocale::China)), 2052u);
    EXPECT_EQ(LocaleId::of(QLocale(QLocale::Chinese, QLocale::Taiwan)), 1028u);
    EXPECT_EQ(LocaleId::of(QLocale(QLocale::English, QLocale::UnitedStates)), 1033u);
    EXPECT_EQ(LocaleId::of(QLocale::c()), 2052u);
    EXPECT_EQ(LocaleId::of(QLocale(QLocale::Swahili, QLocale::Kenya)), 2052u);
}

TEST(LastAccount, WrittenOnlyWhileLoggedIn)
{
    TempRoot root;
    const QString path = root.file(QStringLiteral("last.dat"));
    EXPECT_EQ(LoadLastAccount(path), QString());

    ServerSession session;
    root.write(QStringLiteral("last.dat"), "previous");
    EXPECT_TRUE(SaveLastAccount(session, path));
    EXPECT_EQ(root.read(QStringLiteral("last.dat")), "previous") << "no session: the file keeps its account";

    logIn(session, QStringLiteral("王五"));
    EXPECT_TRUE(SaveLastAccount(session, path));
    EXPECT_EQ(root.read(QStringLiteral("last.dat")), Gbk::fromUnicode(QStringLiteral("王五")));
    EXPECT_EQ(LoadLastAccount(path), QStringLiteral("王五"));

    // At most 31 bytes are taken, never half a character.
    root.write(QStringLiteral("last.dat"), Gbk::fromUnicode(QString(20, QChar(0x738B))));
    EXPECT_EQ(LoadLastAccount(path), QString(15, QChar(0x738B)));
}

TEST(ServerConfig, DefaultsSaveAndLoad)
{
    TempRoot root;
    const QString path = root.file(QStringLiteral("server.cfg"));
    ServerConfig config(path);
    config.Load();
    EXPECT_EQ(config.host(), ServerConfig::defaultHost());
    EXPECT_EQ(config.site(), ServerConfig::defaultSite());

    EXPECT_EQ(config.setHost(QStringLiteral("tarvo.example.com:8080")), QString());
    EXPECT_EQ(config.setSite(QStringLiteral("S01")), QString());
    ASSERT_TRUE(config.Save());
    EXPECT_EQ(root.read(QStringLiteral("server.cfg")), "host=tarvo.example.com:8080\nsite=S01\n");

    ServerConfig again(path);
    again.Load();
    EXPECT_EQ(again.host(), QStringLiteral("tarvo.example.com:8080"));
    EXPECT_EQ(again.site(), QStringLiteral("S01"));
    ServerSession session;
    again.applyTo(session);
    EXPECT_EQ(session.configuredHost(), "tarvo.example.com:8080");
    EXPECT_EQ(session.siteCode(), QStringLiteral("S01"));

    // A bad host in the file is neither taken nor replaced by the default
    // server: there is no server until it is put right.
    root.write(QStringLiteral("server.cfg"), "# comment\nhost=has space\nsite=S02\n");
    ServerConfig edited(path);
    const ServerConfig::Trouble trouble = edited.Load();
    EXPECT_EQ(edited.host(), QString());
    EXPECT_EQ(trouble.errors.size(), 1);
    EXPECT_TRUE(trouble.damage.isEmpty());
    EXPECT_EQ(edited.site(), QStringLiteral("S02"));
}

TEST(ServerConfig, RefusesValuesThatWouldBreakARequest)
{
    ServerConfig config(QStringLiteral("/nonexistent/server.cfg"));
    for (const char *bad : {"", "has space", "host:", "host:0", "host:65536", "host:80:90", "a/b", "h\xc3\xa9"})
        EXPECT_FALSE(config.setHost(QString::fromUtf8(bad)).isEmpty()) << bad;
    EXPECT_EQ(config.host(), ServerConfig::defaultHost());
    EXPECT_FALSE(config.setHost(QString(64, u'h')).isEmpty());
    for (const char *good : {"127.0.0.1", "127.0.0.1:8080", "tarvo-1.example.com", "h:65535"})
        EXPECT_TRUE(config.setHost(QString::fromLatin1(good)).isEmpty()) << good;

    for (const char *bad : {"", "a b", "a&b", "a?b", "a#b", "a<b", "a%b"})
        EXPECT_FALSE(config.setSite(QString::fromLatin1(bad)).isEmpty()) << bad;
    EXPECT_FALSE(config.setSite(QString(32, u's')).isEmpty());
    EXPECT_TRUE(config.setSite(QString(31, u's')).isEmpty());
    EXPECT_TRUE(config.setSite(QStringLiteral("站点一")).isEmpty());
    EXPECT_FALSE(config.Save()) << "the folder does not exist";
}

TEST(ClientContextServer, StartLoadsConfigurationAndBaseDataAndExitRemembersTheAccount)
{
    TempRoot root;
    root.write(QStringLiteral("DATA_SYS/server.cfg"), "host=10.0.0.9:81\nsite=S07\n");
    QByteArray text = "x\nEMB\nEMS\tems\n\nEME\n";
    for (char &c : text)
        c = static_cast<char>(c ^ 8);
    root.write(QStringLiteral("DATA_SYS/0.dat"), text);
    ScriptedPrompter p;
    {
        ClientContext context(root.path());
        ASSERT_TRUE(context.Start(p));
        EXPECT_TRUE(p.shown().isEmpty());
        EXPECT_EQ(context.session().configuredHost(), "10.0.0.9:81");
        EXPECT_EQ(context.session().siteCode(), QStringLiteral("S07"));
        EXPECT_EQ(context.baseData().kindNames(), QStringList{QStringLiteral("ems")});
        logIn(context.session(), QStringLiteral("op1"));
    }
    EXPECT_EQ(root.read(QStringLiteral("DATA_SYS/last.dat")), "op1");
    {
        ClientContext offline(root.path());
        ASSERT_TRUE(offline.Start(p));
    }
    EXPECT_EQ(root.read(QStringLiteral("DATA_SYS/last.dat")), "op1") << "an offline run keeps it";
}
