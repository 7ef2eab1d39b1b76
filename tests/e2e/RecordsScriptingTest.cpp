#include "app/ProgramSettings.h"
#include "preinput/WaybillNumber.h"
#include "support/Quarvelctl.h"
#include "support/TarvoServer.h"
#include "support/TempRoot.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

using namespace quarvel;

namespace {

CtlResult ctl(const TempRoot &root, const QStringList &rest, const QByteArray &input = QByteArray())
{
    return runQuarvelctl(QStringList{QStringLiteral("--root"), root.path()} + rest, input);
}

CtlResult add(const TempRoot &root, const QStringList &fields)
{
    return ctl(root, QStringList{QStringLiteral("records"), QStringLiteral("add")} + fields);
}

QJsonObject show(const TempRoot &root, const QByteArray &iid)
{
    const CtlResult r = ctl(root, {QStringLiteral("records"), QStringLiteral("show"),
                                   QString::fromLatin1(iid.trimmed()), QStringLiteral("--json")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    return QJsonDocument::fromJson(r.out).object();
}

// A counter configured for a demo tarvo-server, with its base data.
struct DemoCounter {
    DemoCounter()
    {
        ready =
            server.start() &&
            ctl(root, {QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("host"), server.host()}).code ==
                0 &&
            ctl(root, {QStringLiteral("basedata"), QStringLiteral("download")}).code == 0;
    }
    CtlResult loggedIn(const QStringList &rest)
    {
        return ctl(
            root,
            QStringList{QStringLiteral("--account"), QStringLiteral("demo"), QStringLiteral("--password-stdin")} + rest,
            "demo\n");
    }

    TarvoServer server;
    TempRoot root;
    bool ready = false;
};

const QStringList kReceiver{QStringLiteral("creceiver=王五"), QStringLiteral("cphone=13800138000"),
                            QStringLiteral("creceiveraddr=朝阳区建国路1号")};

} // namespace

TEST(RecordsScripting, ANewRecordTakesTheProgramNumberAndTheDefaultSenderOfTheSettings)
{
    TempRoot root;
    ProgramSettings settings;
    settings.programNumber = 7;
    settings.origin = QStringLiteral("深圳");
    settings.senderName = QStringLiteral("张三");
    settings.phone = QStringLiteral("0755-12345678");
    ASSERT_TRUE(settings.Save(root.file(QStringLiteral("prgset.dat"))));

    const CtlResult saved =
        add(root, kReceiver + QStringList{QStringLiteral("cdes=北京"), QStringLiteral("creceivercountry=中国"),
                                          QStringLiteral("creceiverprov=北京")});
    ASSERT_EQ(saved.code, 0) << saved.err.toStdString();
    const QJsonObject r = show(root, saved.out);
    EXPECT_EQ(r[QStringLiteral("cnum")].toString(), MakeWaybillNumber(QDate::currentDate(), 1, 7, 0))
        << "the program number is the digit before the customer part";
    EXPECT_NE(r[QStringLiteral("cnum")].toString(), MakeWaybillNumber(QDate::currentDate(), 1, 0, 0));
    EXPECT_EQ(r[QStringLiteral("csender")].toString(), QStringLiteral("张三"));
    EXPECT_EQ(r[QStringLiteral("csenderphone")].toString(), QStringLiteral("0755-12345678"));
    EXPECT_EQ(r[QStringLiteral("cfrom")].toString(), QStringLiteral("深圳"));
}

TEST(RecordsScripting, DestinationLookUpNumbersFieldNamesAndExitCodes)
{
    DemoCounter c;
    ASSERT_TRUE(c.ready);
    // Given as text, the destination fills postcode, country, province and city as a pick would.
    const CtlResult saved = add(c.root, kReceiver + QStringList{QStringLiteral("cdes=北京市")});
    ASSERT_EQ(saved.code, 0) << saved.err.toStdString();
    QJsonObject r = show(c.root, saved.out);
    EXPECT_EQ(r[QStringLiteral("cdes")].toString(), QStringLiteral("北京"))
        << "the base data's name, which pricing knows";
    EXPECT_EQ(r[QStringLiteral("creceivercountry")].toString(), QStringLiteral("中国"));
    EXPECT_EQ(r[QStringLiteral("creceiverprov")].toString(), QStringLiteral("北京"));
    // A city without its province, and a destination the base data does not have.
    const CtlResult cityOnly = add(c.root, kReceiver + QStringList{QStringLiteral("cdes=广州市")});
    ASSERT_EQ(cityOnly.code, 0) << cityOnly.err.toStdString();
    EXPECT_EQ(show(c.root, cityOnly.out)[QStringLiteral("cdes")].toString(), QStringLiteral("广东广州"));
    const CtlResult nowhere = add(c.root, kReceiver + QStringList{QStringLiteral("cdes=火星")});
    EXPECT_EQ(nowhere.code, 1);
    EXPECT_TRUE(nowhere.errText().startsWith(QStringLiteral("目的地不在基本数据中：火星")))
        << nowhere.err.toStdString();
    const CtlResult city = add(c.root, kReceiver + QStringList{QStringLiteral("cdes=广东广州")});
    ASSERT_EQ(city.code, 0) << city.err.toStdString();
    r = show(c.root, city.out);
    EXPECT_EQ(r[QStringLiteral("creceiverprov")].toString(), QStringLiteral("广东"));
    EXPECT_EQ(r[QStringLiteral("creceivercity")].toString(), QStringLiteral("广州"));
    EXPECT_EQ(r[QStringLiteral("creceiverzip")].toString(), QStringLiteral("510000"));

    // Numbers: a non-number or a negative amount is refused naming the field.
    const std::pair<QString, QString> wrong[] = {
        {QStringLiteral("fweight=abc"), QStringLiteral("[重量]必须是数字：abc\n")},
        {QStringLiteral("fweight=1,5"), QStringLiteral("[重量]必须是数字：1,5\n")},
        {QStringLiteral("ffee=-5"), QStringLiteral("[费用]不能是负数：-5\n")},
        {QStringLiteral("ideclare=-0.01"), QStringLiteral("[申明价]不能是负数：-0.01\n")},
        {QStringLiteral("fcod=-1"), QStringLiteral("[代收总货款]不能是负数：-1\n")},
        {QStringLiteral("goods=茶:-2:5"), QStringLiteral("[物品明细]数量和单价不能是负数：茶:-2:5\n")},
    };
    for (const auto &[arg, message] : wrong) {
        const CtlResult refused = add(c.root, kReceiver + QStringList{QStringLiteral("cdes=北京"), arg});
        EXPECT_EQ(refused.code, 1) << arg.toStdString();
        EXPECT_EQ(refused.errText(), message);
    }

    // Field names: the list, and the nearest names for a mistyped one.
    const CtlResult fields = ctl(c.root, {QStringLiteral("records"), QStringLiteral("fields")});
    ASSERT_EQ(fields.code, 0);
    EXPECT_TRUE(fields.out.contains("cnum\t" + QStringLiteral("运单号\t文本, 至少 7 字符, 至多 30 字节").toUtf8()))
        << fields.out.toStdString();
    EXPECT_TRUE(fields.out.contains("fweight\t" + QStringLiteral("重量").toUtf8()));
    EXPECT_TRUE(fields.out.contains("\ngoods\t"));
    const CtlResult typo = add(c.root, {QStringLiteral("cnun=AB12345")});
    EXPECT_EQ(typo.code, 2);
    EXPECT_TRUE(typo.errText().startsWith(QStringLiteral("records add: unknown field cnun; did you mean cnum")))
        << typo.err.toStdString();

    // Exit codes: usage 2, refusals by a check or by the server 1.
    EXPECT_EQ(ctl(c.root, {QStringLiteral("--account"), QStringLiteral("demo"), QStringLiteral("balance")}).code, 2)
        << "--account without --password-stdin";
    const CtlResult unknown = c.loggedIn({QStringLiteral("upload"), QStringLiteral("999")});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_EQ(unknown.errText(), QStringLiteral("记录999不存在。\n"));
    EXPECT_EQ(c.loggedIn({QStringLiteral("price"), QStringLiteral("999")}).code, 1);
    const CtlResult noQuote =
        c.loggedIn({QStringLiteral("quote"), QStringLiteral("火星"), QStringLiteral("1"), QStringLiteral("1")});
    EXPECT_EQ(noQuote.code, 1) << noQuote.err.toStdString();

    // A record without a destination cannot be priced: refused, not done.
    const CtlResult bare = add(
        c.root, kReceiver + QStringList{QStringLiteral("creceivercountry=中国"), QStringLiteral("creceiverprov=北京")});
    ASSERT_EQ(bare.code, 0) << bare.err.toStdString();
    const CtlResult unpriced = c.loggedIn({QStringLiteral("price"), QString::fromLatin1(bare.out.trimmed())});
    EXPECT_EQ(unpriced.code, 1);
    EXPECT_TRUE(unpriced.out.contains("\t-\t")) << unpriced.out.toStdString();

    // The upload's progress: every line once, the last counts not repeated as the ending.
    const CtlResult uploaded = c.loggedIn({QStringLiteral("upload"), QStringLiteral("--all")});
    const QStringList lines = uploaded.errText().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(QSet<QString>(lines.cbegin(), lines.cend()).size(), lines.size()) << uploaded.err.toStdString();
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("共 4 条，已处理 4 条(100%)。"))) << uploaded.err.toStdString();
}

TEST(RecordsScripting, TheJsonListingIsOneValidArrayWithEveryRecord)
{
    TempRoot root;
    const CtlResult empty = ctl(root, {QStringLiteral("records"), QStringLiteral("list"), QStringLiteral("--json")});
    ASSERT_EQ(empty.code, 0);
    EXPECT_EQ(QJsonDocument::fromJson(empty.out).array().size(), 0);

    const QString remark = QStringLiteral("引号\" 反斜杠\\ 制表\t换行");
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(
            add(root, kReceiver + QStringList{QStringLiteral("cdes=北京"), QStringLiteral("creceivercountry=中国"),
                                              QStringLiteral("creceiverprov=北京"), QStringLiteral("fweight=1.25"),
                                              QStringLiteral("cremark=") + remark})
                .code,
            0);
    const CtlResult listed = ctl(root, {QStringLiteral("records"), QStringLiteral("list"), QStringLiteral("--json")});
    ASSERT_EQ(listed.code, 0);
    QJsonParseError error{};
    const QJsonArray all = QJsonDocument::fromJson(listed.out, &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    ASSERT_EQ(all.size(), 3);
    const QJsonObject second = all.at(1).toObject();
    QJsonObject shown = show(root, "2");
    shown.remove(QStringLiteral("goods"));
    shown.remove(QStringLiteral("pieces"));
    EXPECT_EQ(second, shown) << "the listing holds what records show holds";
    EXPECT_EQ(second[QStringLiteral("cremark")].toString(), remark);
    EXPECT_DOUBLE_EQ(second[QStringLiteral("fweight")].toDouble(), 1.25);
    EXPECT_EQ(second[QStringLiteral("iid")].toInt(), 2);
}
