#include "support/Quarvelctl.h"
#include "support/TarvoData.h"
#include "support/TarvoServer.h"
#include "support/TempRoot.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QStringList in(const TempRoot &root, const QStringList &command)
{
    return QStringList{QStringLiteral("--root"), root.path()} + command;
}

QStringList loggingIn(const TempRoot &root, const QStringList &command)
{
    return in(root, {QStringLiteral("--account"), QStringLiteral("demo"), QStringLiteral("--password-stdin")}) +
           command;
}

} // namespace

// What quarvelctl showed and asked the server lands in DATA_SYS/log, where
// `quarvelctl log` reads it back; the password, the login digest and the
// session key never do.
TEST(SupportLogCommands, MessagesAndRequestsAreLoggedWithoutSecrets)
{
    TarvoServer server;
    ASSERT_TRUE(server.start()) << server.output().toStdString();
    TempRoot root;
    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.port());
    ASSERT_EQ(
        runQuarvelctl(in(root, {QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("host"), host})).code,
        0);

    const CtlResult refused = runQuarvelctl(loggingIn(root, {QStringLiteral("balance")}), "wrongSecret42\n");
    EXPECT_EQ(refused.code, 1);
    const CtlResult balance = runQuarvelctl(loggingIn(root, {QStringLiteral("balance")}), "demo\n");
    ASSERT_EQ(balance.code, 0) << balance.errText().toStdString();
    const std::string sessionKey = TarvoData(server.dataFile()).text("SELECT irand FROM client_session LIMIT 1");
    ASSERT_FALSE(sessionKey.empty());

    const QString log = QString::fromUtf8(root.read(QStringLiteral("DATA_SYS/log/quarvel.log")));
    EXPECT_TRUE(log.contains(QStringLiteral("message: quarvelctl: 密码不正确。"))) << log.toStdString();
    const QRegularExpression login(QStringLiteral("request: 127\\.0\\.0\\.1:\\d+ GET KVLogin: HTTP/1\\.\\d 200 OK, "
                                                  "\\d+ bytes, \\d+ ms\\n"));
    EXPECT_TRUE(login.match(log).hasMatch()) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("POST KVTrans op 5: HTTP/1.")));

    EXPECT_FALSE(log.contains(QStringLiteral("wrongSecret42")));
    EXPECT_FALSE(QRegularExpression(QStringLiteral("[0-9a-fA-F]{32}")).match(log).hasMatch()) << "a login digest";
    EXPECT_FALSE(
        QRegularExpression(QStringLiteral("\\b%1\\b").arg(QString::fromStdString(sessionKey))).match(log).hasMatch())
        << "the session key " << sessionKey;

    const CtlResult tail =
        runQuarvelctl(in(root, {QStringLiteral("log"), QStringLiteral("--lines"), QStringLiteral("2")}));
    EXPECT_EQ(tail.code, 0);
    const QStringList all = log.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(QString::fromUtf8(tail.out), all.mid(all.size() - 2).join(u'\n') + u'\n');
    EXPECT_EQ(runQuarvelctl(in(root, {QStringLiteral("log"), QStringLiteral("--lines"), QStringLiteral("x")})).code, 2);
}

TEST(SupportLogCommands, AnEmptyLogSaysWhereItWouldBe)
{
    TempRoot root;
    const CtlResult tail = runQuarvelctl(in(root, {QStringLiteral("log")}));
    EXPECT_EQ(tail.code, 0);
    EXPECT_TRUE(tail.out.isEmpty());
    EXPECT_EQ(tail.errText(), QStringLiteral("the log is empty: %1DATA_SYS/log/quarvel.log\n").arg(root.path()));
}
