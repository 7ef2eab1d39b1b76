#include "../server/RawHttp.h"
#include "support/CtlCounter.h"
#include "support/TarvoSeed.h"
#include "support/TarvoServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

// A checkpoint's folder configured for a demo server holding four more
// shipments of the demo customer, E2E000001 to E2E000004, sent today.
struct Checkpoint : CtlCounter {
    explicit Checkpoint(const TarvoServer &server) : CtlCounter(server, "check", "check")
    {
        TarvoSeed seed(server.dataFile());
        EXPECT_TRUE(seed.addShipments("E2E", 4)) << seed.error();
    }

    // `scans add` as the checkpoint; the new id, or -1.
    int add(Args fields) const
    {
        fields.insert(fields.begin(), {"scans", "add"});
        const CtlResult r = ctl(fields);
        EXPECT_EQ(r.code, 0) << r.errText().toStdString();
        return r.code == 0 ? r.out.trimmed().toInt() : -1;
    }

    QJsonArray list() const { return QJsonDocument::fromJson(ctl({"scans", "list", "--json"}, false).out).array(); }
};

// The customer's record list as `query records` gives it: each shipment's
// cells by waybill number.
QMap<QString, QJsonObject> customerRecords(const CtlCounter &customer, const Args &conditions)
{
    Args args{"query", "records", "--json"};
    args.insert(args.end(), conditions.begin(), conditions.end());
    const CtlResult r = customer.ctl(args);
    EXPECT_EQ(r.code, 0) << r.errText().toStdString();
    QMap<QString, QJsonObject> byNumber;
    const QJsonArray rows = QJsonDocument::fromJson(r.out).object().value(QStringLiteral("rows")).toArray();
    for (const QJsonValue &row : rows) {
        const QJsonObject cells = row.toObject().value(QStringLiteral("cells")).toObject();
        byNumber.insert(cells.value(QStringLiteral("运单号")).toString(), cells);
    }
    return byNumber;
}

// 状态, 签收人 and 送达日期时间 of a listed shipment, joined by '|'.
QString delivery(const QJsonObject &cells)
{
    return QStringList{cells.value(QStringLiteral("状态")).toString(), cells.value(QStringLiteral("签收人")).toString(),
                       cells.value(QStringLiteral("送达日期时间")).toString()}
        .join(u'|');
}

// The shipment's history page, as the information page's link opens it.
QString trackPage(const TarvoServer &server, const char *waybill)
{
    const RawReply page =
        RawHttp(server.address(), server.port())
            .exchange("GET /cgi-bin/VEdiz.dll?TarvoTrack&cno=" + QByteArray(waybill) + " HTTP/1.0\r\n\r\n");
    return QString::fromUtf8(page.body);
}

TEST(ScansCommands, ScansAddedAndUploadedMoveTheShipmentsOnTheServer)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    Checkpoint c(server);
    EXPECT_EQ(c.add({"num=e2e000001", "place=深圳", "info=快件到达[地点]"}), 1);
    EXPECT_EQ(c.add({"kind=出站", "num=E2E000002", "next=PEK", "flight=51"}), 2);
    EXPECT_EQ(c.add({"kind=2", "num=E2E000003", "signer=快递员甲", "info=%s正在派送"}), 3);
    EXPECT_EQ(c.add({"num=E2E000004", "signer=张三", "time=2026-02-03 10:20", "kind=签收", "version=双语",
                     "placeen=Shenzhen", "infoen=Signed by %s"}),
              4);
    EXPECT_EQ(c.add({"kind=异常", "num=D1010000001", "exception=快件丢失", "next=CAN"}), 5);

    const QJsonArray scans = c.list();
    ASSERT_EQ(scans.size(), 5);
    EXPECT_EQ(scans[0][QStringLiteral("cnum")].toString(), QStringLiteral("E2E000001"));
    EXPECT_EQ(scans[0][QStringLiteral("cinfo")].toString(), QStringLiteral("快件到达深圳"));
    EXPECT_EQ(scans[1][QStringLiteral("cnext")].toString(), QStringLiteral("PEK"));
    EXPECT_EQ(scans[1][QStringLiteral("nflight")].toInt(), 51);
    EXPECT_EQ(scans[2][QStringLiteral("cinfo")].toString(), QStringLiteral("快递员甲正在派送"));
    EXPECT_EQ(scans[3][QStringLiteral("csigntime")].toString(), QStringLiteral("2026.02.03 10:20:00"));
    EXPECT_EQ(scans[3][QStringLiteral("cinfoen")].toString(), QStringLiteral("Signed by 张三"));
    EXPECT_EQ(scans[4][QStringLiteral("nstate")].toInt(), 7);
    const QJsonObject shown = QJsonDocument::fromJson(c.ctl({"scans", "show", "4", "--json"}).out).object();
    EXPECT_EQ(shown[QStringLiteral("csigner")].toString(), QStringLiteral("张三"));
    EXPECT_EQ(shown[QStringLiteral("nversion")].toInt(), 2);

    // Before the upload the customer sees its shipments only as sent.
    const CtlCounter customer(server, "demo", "demo");
    QMap<QString, QJsonObject> records = customerRecords(customer, {"num=E2E"});
    ASSERT_EQ(records.size(), 4);
    EXPECT_EQ(delivery(records.value(QStringLiteral("E2E000004"))), u"已发||");

    const CtlResult upload = c.ctl({"scans", "upload", "--all"});
    EXPECT_EQ(upload.code, 0) << upload.errText().toStdString();
    EXPECT_EQ(upload.out.count("上传成功"), 5) << upload.out.constData();
    EXPECT_TRUE(c.list().isEmpty()) << "accepted scans leave the local file";

    records = customerRecords(customer, {"num=E2E"});
    ASSERT_EQ(records.size(), 4);
    EXPECT_EQ(delivery(records.value(QStringLiteral("E2E000001"))), u"转运||");
    EXPECT_EQ(delivery(records.value(QStringLiteral("E2E000002"))), u"转运||");
    EXPECT_EQ(delivery(records.value(QStringLiteral("E2E000003"))), u"转运||");
    EXPECT_EQ(delivery(records.value(QStringLiteral("E2E000004"))), u"送达|张三|2026-02-03 10:20:00");
    const QMap<QString, QJsonObject> lost = customerRecords(customer, {"num=D1010000001"});
    EXPECT_EQ(delivery(lost.value(QStringLiteral("D1010000001"))), u"丢失||");
    // The list selects by the new states too.
    EXPECT_EQ(customerRecords(customer, {"num=E2E", "state=转运中"}).keys(),
              (QStringList{QStringLiteral("E2E000001"), QStringLiteral("E2E000002"), QStringLiteral("E2E000003")}));
    EXPECT_EQ(customerRecords(customer, {"num=E2E", "state=送达"}).keys(), QStringList{QStringLiteral("E2E000004")});

    // Every scan is kept in its shipment's history, under the checkpoint's station.
    EXPECT_TRUE(trackPage(server, "E2E000001").contains(QStringLiteral("<td>SZX01</td><td>到站</td><td>深圳</td>")));
    EXPECT_TRUE(trackPage(server, "E2E000002").contains(QStringLiteral("<td>SZX01</td><td>出站</td>")));
    EXPECT_TRUE(trackPage(server, "E2E000003").contains(QStringLiteral("<td>SZX01</td><td>派送</td>")));
    EXPECT_TRUE(trackPage(server, "D1010000001").contains(QStringLiteral("<td>SZX01</td><td>异常(快件丢失)</td>")));
    const QString signedPage = trackPage(server, "E2E000004");
    EXPECT_TRUE(signedPage.contains(QStringLiteral("<td>SZX01</td><td>签收</td>"))) << signedPage.toStdString();
    EXPECT_TRUE(signedPage.contains(QStringLiteral("<td>当前状态:</td><td>送达</td>")));

    // A delivered shipment takes no more scans; the scan stays with its reason.
    EXPECT_EQ(c.add({"num=E2E000004"}), 6);
    const CtlResult refused = c.ctl({"scans", "upload", "--all"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.out, QStringLiteral("6\t-3\t已送达\n").toUtf8());
    EXPECT_EQ(c.list().size(), 1);
}

TEST(ScansCommands, TheFormsChecksAndBadArguments)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    Checkpoint c(server);
    ASSERT_EQ(c.add({"num=E2E000001"}), 1);
    const CtlResult twice = c.ctl({"scans", "add", "num=E2E000001"});
    EXPECT_EQ(twice.code, 1);
    EXPECT_TRUE(twice.errText().contains(QStringLiteral("相同运单号的扫描记录已经存在。")));
    const CtlResult unsigned_ = c.ctl({"scans", "add", "kind=签收", "num=E2E000002"});
    EXPECT_EQ(unsigned_.code, 1);
    EXPECT_TRUE(unsigned_.errText().contains(QStringLiteral("[签收人]不得短于 1 字符。")));
    const CtlResult date = c.ctl({"scans", "add", "num=E2E000002", "time=2026-02-30 10:00"});
    EXPECT_EQ(date.code, 1);
    EXPECT_TRUE(date.errText().contains(QStringLiteral("业务日期数据不合法。")));
    // A value outside the page's list is refused; a field that is not on the page is a usage error.
    const CtlResult kind = c.ctl({"scans", "add", "kind=9", "num=E2E000002"});
    EXPECT_EQ(kind.code, 1);
    EXPECT_EQ(kind.errText(), QStringLiteral("[类别]只能是 0-4 或 到站, 出站, 派送, 签收, 异常：9\n"));
    EXPECT_EQ(c.ctl({"scans", "add", "flight=3", "num=E2E000002"}).code, 1);
    EXPECT_EQ(c.ctl({"scans", "add", "version=法文", "num=E2E000002"}).code, 1);
    EXPECT_EQ(c.ctl({"scans", "add", "exception=8", "num=E2E000002"}).code, 1);
    EXPECT_EQ(c.ctl({"scans", "add", "colour=red"}).code, 2);
    EXPECT_EQ(c.ctl({"scans", "add", "num"}).code, 2);
    EXPECT_EQ(c.ctl({"scans", "frobnicate"}).code, 2);
    EXPECT_EQ(c.list().size(), 1) << "nothing refused was stored";

    const CtlResult missing = c.ctl({"scans", "show", "9"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.errText().contains(QStringLiteral("扫描记录9不存在。")));
    EXPECT_EQ(c.ctl({"scans", "delete", "9"}).code, 1);
    EXPECT_EQ(c.ctl({"scans", "delete"}).code, 2);
    EXPECT_EQ(c.ctl({"scans", "delete", "1"}).code, 0);
    EXPECT_TRUE(c.list().isEmpty());
    EXPECT_EQ(c.add({"num=E2E000001"}), 2) << "scanned again once its scan is gone; ids are never reused";
    const CtlResult listed = c.ctl({"scans", "list"});
    EXPECT_EQ(
        listed.out,
        QStringLiteral("2\tE2E000001\t到站\t%1\t\n").arg(c.list()[0][QStringLiteral("cdate")].toString()).toUtf8());
}

} // namespace
