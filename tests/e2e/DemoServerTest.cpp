#include "server/RawHttp.h"
#include "support/Quarvelctl.h"
#include "support/TarvoServer.h"
#include "support/TempRoot.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QStringList with(const TempRoot &root, const QStringList &command)
{
    return QStringList{QStringLiteral("--root"), root.path(), QStringLiteral("--account"), QStringLiteral("demo"),
                       QStringLiteral("--password-stdin")} +
           command;
}

} // namespace

// The command-line tool against the real stand-in server with its demo data:
// log in, download the base data, show it, ask the balance.
TEST(DemoServer, LoginBaseDataAndBalance)
{
    TarvoServer server;
    ASSERT_TRUE(server.start()) << server.output().toStdString();
    TempRoot root;
    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.port());
    ASSERT_EQ(runQuarvelctl({QStringLiteral("--root"), root.path(), QStringLiteral("config"), QStringLiteral("set"),
                             QStringLiteral("host"), host})
                  .code,
              0);

    const CtlResult refused = runQuarvelctl(with(root, {QStringLiteral("balance")}), "wrong\n");
    EXPECT_EQ(refused.code, 1) << "refused by the server";
    EXPECT_EQ(refused.errText(), QStringLiteral("密码不正确。\n"));

    const CtlResult download =
        runQuarvelctl(with(root, {QStringLiteral("basedata"), QStringLiteral("download")}), "demo\n");
    ASSERT_EQ(download.code, 0) << download.errText().toStdString();

    // The stored file is the server's own text with every byte XOR 8.
    const RawReply reply = RawHttp(QStringLiteral("127.0.0.1"), server.port())
                               .exchange(RawHttp(QStringLiteral("127.0.0.1"), server.port()).baseDataRequest("DEMO"));
    ASSERT_TRUE(reply.received);
    ASSERT_TRUE(reply.body.startsWith('C'));
    QByteArray expected = reply.body.mid(1);
    for (char &c : expected)
        c = static_cast<char>(c ^ 8);
    EXPECT_EQ(root.read(QStringLiteral("DATA_SYS/0.dat")), expected);

    const CtlResult show = runQuarvelctl({QStringLiteral("--root"), root.path(), QStringLiteral("basedata"),
                                          QStringLiteral("show"), QStringLiteral("--json")});
    ASSERT_EQ(show.code, 0);
    const QJsonObject data = QJsonDocument::fromJson(show.out).object();
    const QJsonArray kinds = data.value(QStringLiteral("kinds")).toArray();
    EXPECT_EQ(kinds.size(), 7);
    EXPECT_EQ(kinds.at(0).toObject().value(QStringLiteral("name")).toString(), QStringLiteral("特快专递"));
    bool beijing = false;
    for (const QJsonValue &d : data.value(QStringLiteral("destinations")).toArray())
        beijing |= d.toObject().value(QStringLiteral("name")).toString().startsWith(QStringLiteral("北京"));
    EXPECT_TRUE(beijing);

    const CtlResult balance = runQuarvelctl(with(root, {QStringLiteral("balance")}), "demo\n");
    ASSERT_EQ(balance.code, 0) << balance.errText().toStdString();
    EXPECT_TRUE(QString::fromUtf8(balance.out).contains(QStringLiteral("5000.00"))) << balance.out.toStdString();
}
