#include "preinput/WaybillNumber.h"
#include "support/Quarvelctl.h"
#include "support/TarvoServer.h"
#include "support/TempRoot.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace quarvel;

namespace {

QStringList args(const TempRoot &root, const QStringList &rest)
{
    return QStringList{QStringLiteral("--root"), root.path()} + rest;
}

QStringList receiver()
{
    return {QStringLiteral("cdes=北京市"),           QStringLiteral("creceiver=王五"),
            QStringLiteral("cphone=13800138000"),    QStringLiteral("creceiveraddr=朝阳区建国路1号"),
            QStringLiteral("creceivercountry=中国"), QStringLiteral("creceiverprov=北京")};
}

CtlResult add(const TempRoot &root, const QStringList &fields)
{
    return runQuarvelctl(args(root, QStringList{QStringLiteral("records"), QStringLiteral("add")} + fields));
}

QJsonObject show(const TempRoot &root, int iid)
{
    const CtlResult r = runQuarvelctl(args(
        root, {QStringLiteral("records"), QStringLiteral("show"), QString::number(iid), QStringLiteral("--json")}));
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    return QJsonDocument::fromJson(r.out).object();
}

} // namespace

TEST(RecordsEdit, AddSavesThroughThePageChecksWithLinesShowAndDelete)
{
    TempRoot root;
    const CtlResult refused = add(root, {QStringLiteral("cnum=ab12345"), QStringLiteral("creceiver=王五")});
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.errText(), QStringLiteral("[收件地址]不得短于 5 字符。\n"));
    EXPECT_TRUE(refused.out.isEmpty());

    const CtlResult saved =
        add(root, receiver() + QStringList{QStringLiteral("cnum=ab12345"), QStringLiteral("ddate=2026-3-9"),
                                           QStringLiteral("npayway=2"), QStringLiteral("iprice=12.34"),
                                           QStringLiteral("nmarked=1"), QStringLiteral("goods=茶叶:2:10"),
                                           QStringLiteral("goods=瓷器:3:5"), QStringLiteral("piece=30:20:10:1500:100"),
                                           QStringLiteral("ffee=50"), QStringLiteral("fcod=80")});
    ASSERT_EQ(saved.code, 0) << saved.err.toStdString();
    EXPECT_EQ(saved.out, "1\n");

    QJsonObject r = show(root, 1);
    EXPECT_EQ(r[QStringLiteral("cnum")].toString(), QStringLiteral("AB12345"));
    EXPECT_EQ(r[QStringLiteral("ddate")].toString(), QStringLiteral("2026.03.09"));
    EXPECT_EQ(r[QStringLiteral("cpaydir")].toString(), QStringLiteral("CC"));
    EXPECT_EQ(r[QStringLiteral("nmarked")].toInt(), 1);
    // With an empty goods name the goods lines are summarised, as after the goods dialog.
    EXPECT_EQ(r[QStringLiteral("cgoods")].toString(), QStringLiteral("茶叶 瓷器"));
    EXPECT_EQ(r[QStringLiteral("ideclare")].toInt(), 3500);
    EXPECT_EQ(r[QStringLiteral("iprice")].toInt(), 700);
    EXPECT_EQ(r[QStringLiteral("csize")].toString(), QStringLiteral("30*20*10"));
    EXPECT_DOUBLE_EQ(r[QStringLiteral("fweight")].toDouble(), 1.5);
    EXPECT_DOUBLE_EQ(r[QStringLiteral("fweighed")].toDouble(), 1.5);
    EXPECT_DOUBLE_EQ(r[QStringLiteral("fcollectsettle")].toDouble(), 50.0);
    EXPECT_DOUBLE_EQ(r[QStringLiteral("fcodsettle")].toDouble(), 80.0);
    EXPECT_EQ(r[QStringLiteral("ngoodslines")].toInt(), 2);
    EXPECT_EQ(r[QStringLiteral("nweightlines")].toInt(), 1);
    const QJsonArray goods = r[QStringLiteral("goods")].toArray();
    ASSERT_EQ(goods.size(), 2);
    EXPECT_EQ(goods[1].toObject()[QStringLiteral("cname")].toString(), QStringLiteral("瓷器"));
    EXPECT_EQ(goods[1].toObject()[QStringLiteral("iparent")].toInt(), 1);
    const QJsonArray pieces = r[QStringLiteral("pieces")].toArray();
    ASSERT_EQ(pieces.size(), 1);
    EXPECT_EQ(pieces[0].toObject()[QStringLiteral("nweight")].toInt(), 1500);

    const CtlResult duplicate = add(root, receiver() + QStringList{QStringLiteral("cnum=AB12345")});
    EXPECT_EQ(duplicate.code, 1);
    EXPECT_EQ(duplicate.errText(), QStringLiteral("相同运单号的记录已经存在。\n"));
    const CtlResult badCod =
        add(root, receiver() + QStringList{QStringLiteral("fcod=10"), QStringLiteral("fcodsettle=20")});
    EXPECT_EQ(badCod.code, 1);
    EXPECT_EQ(badCod.errText(), QStringLiteral("返还客户货款错误：大于实收代收货款。\n"));

    // An unknown field is a usage error; a list value out of range and a
    // malformed line are values the checks refuse.
    EXPECT_EQ(add(root, receiver() + QStringList{QStringLiteral("nosuch=1")}).code, 2);
    const CtlResult kind = add(root, receiver() + QStringList{QStringLiteral("nitemtype=3")});
    EXPECT_EQ(kind.code, 1);
    EXPECT_EQ(kind.errText(), QStringLiteral("[物品类别]只能是 0 文件, 1 包裹, 2 防水袋：3\n"));
    const CtlResult piece = add(root, receiver() + QStringList{QStringLiteral("piece=1:2:3")});
    EXPECT_EQ(piece.code, 1);
    EXPECT_EQ(piece.errText(), QStringLiteral("[件重明细]应为 长:宽:高:克:体积比例，都是整数：1:2:3\n"));
    // A number field that is given no number is refused by its check, naming the field.
    const CtlResult notANumber = add(root, receiver() + QStringList{QStringLiteral("npieces=two")});
    EXPECT_EQ(notANumber.code, 1);
    EXPECT_EQ(notANumber.errText(), QStringLiteral("[件数]必须是数字：two\n"));

    const CtlResult second = add(root, receiver());
    ASSERT_EQ(second.code, 0) << second.err.toStdString();
    EXPECT_EQ(second.out, "2\n");
    EXPECT_EQ(show(root, 2)[QStringLiteral("cnum")].toString(),
              DateCode(QDate::currentDate()) + QStringLiteral("00020XXXXX"));

    const CtlResult removed =
        runQuarvelctl(args(root, {QStringLiteral("records"), QStringLiteral("delete"), QStringLiteral("1")}));
    EXPECT_EQ(removed.code, 0) << removed.err.toStdString();
    const CtlResult gone =
        runQuarvelctl(args(root, {QStringLiteral("records"), QStringLiteral("show"), QStringLiteral("1")}));
    EXPECT_EQ(gone.code, 1);
    EXPECT_EQ(gone.errText(), QStringLiteral("业务记录1不存在。\n"));
    EXPECT_EQ(
        runQuarvelctl(args(root, {QStringLiteral("records"), QStringLiteral("delete"), QStringLiteral("1")})).code, 1);
    EXPECT_EQ(runQuarvelctl(args(root, {QStringLiteral("records"), QStringLiteral("delete")})).code, 2);

    const CtlResult listed =
        runQuarvelctl(args(root, {QStringLiteral("records"), QStringLiteral("list"), QStringLiteral("--json")}));
    const QJsonArray all = QJsonDocument::fromJson(listed.out).array();
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all[0].toObject()[QStringLiteral("iid")].toInt(), 2);
}

TEST(RecordsEdit, GeneratedNumbersCarryTheClientIdAfterLogin)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    TempRoot root;
    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.port());
    ASSERT_EQ(
        runQuarvelctl(args(root, {QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("host"), host})).code,
        0);
    ASSERT_EQ(runQuarvelctl(args(root, {QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("site"),
                                        QStringLiteral("DEMO")}))
                  .code,
              0);
    const CtlResult saved = runQuarvelctl(
        args(root, QStringList{QStringLiteral("--account"), QStringLiteral("demo"), QStringLiteral("--password-stdin"),
                               QStringLiteral("records"), QStringLiteral("add")} +
                       receiver()),
        "demo\n");
    ASSERT_EQ(saved.code, 0) << saved.err.toStdString();
    EXPECT_EQ(show(root, 1)[QStringLiteral("cnum")].toString(),
              DateCode(QDate::currentDate()) + QStringLiteral("0001000101"));

    const CtlResult wrong = runQuarvelctl(
        args(root, QStringList{QStringLiteral("--account"), QStringLiteral("demo"), QStringLiteral("--password-stdin"),
                               QStringLiteral("records"), QStringLiteral("add")} +
                       receiver()),
        "wrong\n");
    EXPECT_EQ(wrong.code, 1) << "refused by the server";
    EXPECT_EQ(wrong.errText(), QStringLiteral("密码不正确。\n"));
}
