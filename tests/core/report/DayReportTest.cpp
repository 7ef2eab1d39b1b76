#include "report/DayReport.h"
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "report/DayReconciliation.h"
#include "report/DayReportRows.h"
#include "report/DayReportText.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

const QDate kDay(2026, 3, 9);

struct Sent {
    const char16_t *number;
    int payWay;
    const char16_t *kind;
    const char16_t *province;
    double weight;
    double fee;
    int hour;
};

UploadLedgerEntry entryOf(int id, const Sent &s)
{
    UploadLedgerEntry e;
    e.localId = id;
    e.number = QString::fromUtf16(s.number);
    e.businessDate = kDay;
    e.accepted = {QDateTime(kDay, QTime(s.hour, 5)), 900 + id, QStringLiteral("demo")};
    e.payWay = s.payWay;
    e.expressKind = QString::fromUtf16(s.kind);
    e.province = QString::fromUtf16(s.province);
    e.pieces = 1;
    e.weight = s.weight;
    e.fee = s.fee;
    return e;
}

// Four shipments the server took: two paid in cash, one collect, one on
// account; two express kinds, three provinces (one left empty).
UploadLedger::Day fourUploads()
{
    const Sent sent[] = {{u"R1", 1, u"特快专递", u"广东", 1.5, 20, 9},
                         {u"R2", 1, u"经济快递", u"广东", 2.0, 12, 9},
                         {u"R3", 2, u"特快专递", u"北京", 0.5, 15, 14},
                         {u"R4", 0, u"经济快递", u"", 3.0, 0, 16}};
    UploadLedger::Day day;
    int id = 0;
    for (const Sent &s : sent)
        day.entries.append(entryOf(++id, s));
    UploadLedgerEntry scan;
    scan.kind = UploadKind::Scans;
    scan.localId = 1;
    scan.number = QStringLiteral("S1");
    scan.scanKind = 3;
    scan.accepted = {QDateTime(kDay, QTime(11, 0)), 1, QStringLiteral("demo")};
    day.entries.append(scan);
    return day;
}

DayReport::Shipment local(const QString &number, const QString &reason, double fee)
{
    DayReport::Shipment s;
    s.localId = 40;
    s.number = number;
    s.businessDate = kDay;
    s.payWay = 1;
    s.expressKind = QStringLiteral("特快专递");
    s.province = QStringLiteral("上海");
    s.pieces = 3;
    s.weight = 4;
    s.fee = fee;
    s.reason = reason.isEmpty() ? DayReport::UnsentText() : reason;
    return s;
}

} // namespace

TEST(DayReport, TotalsByPayWayKindAndProvinceWithTheCashToHandOver)
{
    const DayReport r = DayReport::From(kDay, fourUploads(), {local(QStringLiteral("L1"), QString(), 7)}, {});
    EXPECT_EQ(r.total().count, 5);
    EXPECT_EQ(r.total().pieces, 7);
    EXPECT_DOUBLE_EQ(r.total().weight, 11.0);
    EXPECT_DOUBLE_EQ(r.total().freight, 54.0);
    EXPECT_EQ(r.uploaded().count, 4);
    EXPECT_EQ(r.local().count, 1);
    EXPECT_DOUBLE_EQ(r.local().freight, 7.0);
    // The cash of 现付 counts the one still on the counter too: it was paid.
    EXPECT_DOUBLE_EQ(r.CashToHandOver(), 39.0);
    EXPECT_EQ(r.byPayWay().at(QStringLiteral("现付")).count, 3);
    EXPECT_DOUBLE_EQ(r.byPayWay().at(QStringLiteral("到付")).freight, 15.0);
    EXPECT_DOUBLE_EQ(r.byPayWay().at(QStringLiteral("月结")).freight, 0.0);
    EXPECT_DOUBLE_EQ(r.byKind().at(QStringLiteral("经济快递")).weight, 5.0);
    EXPECT_EQ(r.byKind().at(QStringLiteral("特快专递")).count, 3);
    EXPECT_EQ(r.byProvince().at(QStringLiteral("广东")).count, 2);
    EXPECT_EQ(r.byProvince().at(QStringLiteral("(未填)")).count, 1);
    EXPECT_EQ(r.scans().at(QStringLiteral("签收")), 1);
    EXPECT_EQ(r.perHour()[9], 2);
    EXPECT_EQ(r.perHour()[16], 1);
    EXPECT_EQ(r.perHour()[10], 0);
    EXPECT_TRUE(r.refusals().isEmpty()) << "a record never sent is not a refusal";
}

TEST(DayReport, ARefusedRecordStaysLocalWithItsReason)
{
    const DayReport::Refusal scan{UploadKind::Scans, 3, QStringLiteral("S9"), QStringLiteral("不存在")};
    const DayReport r =
        DayReport::From(kDay, fourUploads(), {local(QStringLiteral("L2"), QStringLiteral("单号重复"), 9)}, {scan});
    ASSERT_EQ(r.refusals().size(), 2);
    EXPECT_EQ(r.refusals()[0].number, QStringLiteral("L2"));
    EXPECT_EQ(r.refusals()[0].reason, QStringLiteral("单号重复"));
    EXPECT_EQ(r.refusals()[1].kind, UploadKind::Scans);
    const std::vector<RecordListModel::Row> rows = DayReportRows::Rows(r);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[4].cells[2], QStringLiteral("单号重复"));
    EXPECT_EQ(rows[4].text, DayReportRows::kLocalColor);
    EXPECT_EQ(rows[5].cells[10], QStringLiteral("56.00")) << "the totals row last";
    const QJsonObject json = DayReportText::Json(r);
    EXPECT_EQ(json[QStringLiteral("local")].toInt(), 1);
    EXPECT_EQ(json[QStringLiteral("refused")].toArray().size(), 2);
    EXPECT_FALSE(json.contains(QStringLiteral("server"))) << "no comparison without a login";
    EXPECT_EQ(json[QStringLiteral("reconciliation")].toString(), DayReport::NeedsLoginText());
}

TEST(DayReport, TheServerComparisonNamesEveryDifferenceAndTakesAFreightPricedAfterUpload)
{
    DayReport r = DayReport::From(kDay, fourUploads(), {}, {});
    // R2 was deleted on the server; X7 came from elsewhere; R4 was priced there.
    r.Reconcile({{11, QStringLiteral("R1"), 20},
                 {13, QStringLiteral("R3"), 15},
                 {14, QStringLiteral("R4"), 33.5},
                 {15, QStringLiteral("X7"), 8}});
    EXPECT_EQ(r.ReconciliationLine(), QStringLiteral("服务器上有 4 条，本机上传 4 条，差异 2"));
    EXPECT_EQ(r.server().missingOnServer, QStringList{QStringLiteral("R2")});
    EXPECT_EQ(r.server().unknownLocally, QStringList{QStringLiteral("X7")});
    EXPECT_DOUBLE_EQ(r.total().freight, 20 + 12 + 15 + 33.5);
    EXPECT_DOUBLE_EQ(r.byPayWay().at(QStringLiteral("月结")).freight, 33.5);
    const std::vector<DayReport::Shipment> sent = r.Uploaded();
    EXPECT_TRUE(sent[3].pricedOnServer);
    EXPECT_FALSE(sent[0].pricedOnServer) << "an amount that agrees changes nothing";

    r.Reconcile({{11, QStringLiteral("R1"), 20},
                 {12, QStringLiteral("R2"), 12},
                 {13, QStringLiteral("R3"), 15},
                 {14, QStringLiteral("R4"), 33.5}});
    EXPECT_EQ(r.ReconciliationLine(), QStringLiteral("服务器上有 4 条，本机上传 4 条，差异 0"));
}

TEST(DayReport, BuiltFromTheFilesTakesTheDaysLocalRecordsAndTheirLastUploadReason)
{
    TempRoot root;
    ScriptedPrompter prompter;
    ClientContext context(root.path());
    ASSERT_TRUE(context.Start(prompter));
    auto add = [&](const QString &number, RecordDate date, double fee) {
        PreInputRecord r{};
        r.ddate = date;
        r.npayway = 1;
        r.ffee = fee;
        Gbk::setField(r.cnum, number);
        context.preInputs().Append(&r);
        return r.iid;
    };
    const int refused = add(QStringLiteral("B1"), {2026, 3, 9}, 10);
    add(QStringLiteral("B2"), {2026, 3, 9}, 5);
    add(QStringLiteral("B3"), {2026, 3, 8}, 99);
    context.uploadResults().Refused(UploadKind::Shipments, refused,
                                    context.RecordDigest(UploadKind::Shipments, refused), QStringLiteral("数据错误"));
    UploadLedgerEntry up = entryOf(77, {u"B0", 1, u"特快专递", u"广东", 1, 30, 8});
    ASSERT_TRUE(context.uploadLedger().Record({up}));

    DayReport r = DayReport::Build(context, kDay);
    DayReconciliation::Apply(r, context.session(), context.baseData());
    EXPECT_EQ(r.ReconciliationLine(), DayReport::NeedsLoginText()) << "offline it says what it needs";
    EXPECT_EQ(r.total().count, 3) << "B3 belongs to another day";
    EXPECT_EQ(r.uploaded().count, 1);
    EXPECT_DOUBLE_EQ(r.CashToHandOver(), 45.0);
    ASSERT_EQ(r.refusals().size(), 1);
    EXPECT_EQ(r.refusals()[0].reason, QStringLiteral("数据错误"));
}
