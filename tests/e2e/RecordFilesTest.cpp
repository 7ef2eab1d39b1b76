#include "support/Quarvelctl.h"
#include "support/TempRoot.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstring>

namespace {

QStringList args(const TempRoot &root, const QStringList &rest)
{
    return QStringList{QStringLiteral("--root"), root.path()} + rest;
}

CtlResult add(const TempRoot &root, const QString &number, const QStringList &more = {})
{
    return runQuarvelctl(
        args(root, QStringList{QStringLiteral("records"), QStringLiteral("add"), QStringLiteral("cnum=") + number,
                               QStringLiteral("cdes=北京市"), QStringLiteral("creceiver=王五"),
                               QStringLiteral("cphone=13800138000"), QStringLiteral("creceiveraddr=朝阳区建国路1号"),
                               QStringLiteral("creceivercountry=中国"), QStringLiteral("creceiverprov=北京")} +
                       more));
}

QJsonArray list(const TempRoot &root)
{
    const CtlResult r =
        runQuarvelctl(args(root, {QStringLiteral("records"), QStringLiteral("list"), QStringLiteral("--json")}));
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    return QJsonDocument::fromJson(r.out).array();
}

void setLastId(const TempRoot &root, const QString &file, std::int32_t lastId)
{
    QByteArray bytes = root.read(file);
    ASSERT_GE(bytes.size(), 8);
    std::memcpy(bytes.data() + 4, &lastId, 4);
    root.write(file, bytes);
}

} // namespace

TEST(RecordFiles, AddingPastTheLastIdIsRefusedWithItsMessage)
{
    TempRoot root;
    ASSERT_EQ(add(root, QStringLiteral("FIRST001")).code, 0);
    setLastId(root, QStringLiteral("DATA/recinput.dat"), 0x7fffffff);
    const CtlResult refused = add(root, QStringLiteral("SECOND01"));
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_EQ(
        refused.errText(),
        QStringLiteral("业务记录保存失败：数据文件%1的记录编号已经用完（最后编号已到 2147483647），不能再添加记录。\n")
            .arg(root.file(QStringLiteral("DATA/recinput.dat"))));
    const QJsonArray records = list(root);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].toObject()[QStringLiteral("iid")].toInt(), 1);

    // A full goods file refuses the shipment with goods, and only that one.
    TempRoot goods;
    ASSERT_EQ(add(goods, QStringLiteral("FIRST001"), {QStringLiteral("goods=茶叶:1:10")}).code, 0);
    setLastId(goods, QStringLiteral("DATA/recgoods.dat"), 0x7fffffff);
    const CtlResult noLines = add(goods, QStringLiteral("SECOND01"), {QStringLiteral("goods=瓷器:1:5")});
    EXPECT_EQ(noLines.code, 1);
    EXPECT_TRUE(noLines.errText().contains(goods.file(QStringLiteral("DATA/recgoods.dat"))));
    EXPECT_EQ(list(goods).size(), 1);
    EXPECT_EQ(add(goods, QStringLiteral("THIRD001")).code, 0);
}

TEST(RecordFiles, DamagedFilesAreReportedByEveryCommandOnce)
{
    TempRoot root;
    root.write(QStringLiteral("prgset.dat"), QByteArray(100, 'x'));
    root.write(QStringLiteral("DATA_SYS/server.cfg"), "host=no such host\nsite=DEMO\n");
    const CtlResult listed = runQuarvelctl(args(root, {QStringLiteral("records"), QStringLiteral("list")}));
    EXPECT_EQ(listed.code, 0);
    const QString err = listed.errText();
    EXPECT_EQ(err.count(root.file(QStringLiteral("prgset.dat"))), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("文件长度是 100 字节，应为 1364 字节")));
    EXPECT_EQ(err.count(root.file(QStringLiteral("DATA_SYS/server.cfg"))), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("改正之前不连接任何服务器。")));

    const CtlResult shown = runQuarvelctl(args(root, {QStringLiteral("config"), QStringLiteral("show")}));
    EXPECT_TRUE(shown.out.startsWith("host=\n")) << "no default server in place of the broken one";
    // The broken host is put right with the tool itself.
    ASSERT_EQ(runQuarvelctl(args(root, {QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("host"),
                                        QStringLiteral("127.0.0.1:9")}))
                  .code,
              0);
    const CtlResult fixed = runQuarvelctl(args(root, {QStringLiteral("config"), QStringLiteral("show")}));
    EXPECT_FALSE(fixed.errText().contains(QStringLiteral("server.cfg"))) << fixed.err.toStdString();
    EXPECT_TRUE(fixed.out.startsWith("host=127.0.0.1:9\n"));
}

TEST(RecordFiles, ADamagedRecordFileIsNamedWithItsReason)
{
    TempRoot root;
    QByteArray bad(256, '\0');
    bad[0] = 9;
    root.write(QStringLiteral("DATA/recweight.dat"), bad);
    const CtlResult r = runQuarvelctl(args(root, {QStringLiteral("records"), QStringLiteral("list")}));
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.errText(), QStringLiteral("预录重量数据文件已损坏：%1\n文件头记 9 条记录，文件只容得下 0 条。\n"
                                          "程序将不会被启动！\n")
                               .arg(root.file(QStringLiteral("DATA/recweight.dat"))));
}
