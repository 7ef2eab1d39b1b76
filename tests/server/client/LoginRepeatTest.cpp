#include "app/ScriptedPrompter.h"
#include "net/LoginDigest.h"
#include "net/LoginForm.h"
#include "net/ServerSession.h"
#include "server/RawHttp.h"
#include "support/TarvoServer.h"
#include "support/TempRoot.h"

#include <QDateTime>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

// One counter whose clock stands still at `now`.
struct Counter {
    Counter(const QString &host, qint64 now)
    {
        session.configure(host.toLatin1(), QStringLiteral("DEMO"));
        form.setClock([now] { return now; });
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

TEST(LoginRepeat, CountersOfOneAccountLogInWithinOneSecondAndNoRequestIsTakenTwice)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    Counter first(server.host(), now);
    Counter second(server.host(), now);
    Counter third(server.host(), now);
    ASSERT_TRUE(first.logIn(QStringLiteral("demo"), QStringLiteral("demo"))) << first.prompter.lastText().toStdString();
    ASSERT_TRUE(second.logIn(QStringLiteral("demo"), QStringLiteral("demo")))
        << second.prompter.lastText().toStdString();
    ASSERT_TRUE(third.logIn(QStringLiteral("demo"), QStringLiteral("demo"))) << third.prompter.lastText().toStdString();
    EXPECT_NE(first.session.sessionNumber(), second.session.sessionNumber());
    EXPECT_NE(second.session.sessionNumber(), third.session.sessionNumber());

    // The first counter's request, sent again by someone who saw it, opens nothing.
    const RawHttp raw(server.address(), server.port());
    const RawReply replay =
        raw.exchange(raw.loginRequest("DEMO", "demo", LoginDigest::compute(now, "demo"), QByteArray::number(now)));
    EXPECT_EQ(replay.body, "-8\n");
}
