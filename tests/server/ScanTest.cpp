#include "DemoServer.h"
#include "UploadPayload.h"
#include "support/TarvoData.h"

namespace {

using Rows = std::vector<TarvoData::Row>;

class Scan : public DemoServer {
protected:
    void SetUp() override
    {
        DemoServer::SetUp();
        checkpoint = logIn("check", "check");
    }

    QByteArray scan(const ScanValues &s, const QByteArray &id = "3")
    {
        return trans(request("check", checkpoint, "4", id, "1", scanCall(s)));
    }

    static bool accepted(const QByteArray &reply) { return reply.endsWith('\n') && reply.trimmed().toInt() > 0; }

    Rows scanRow(const QByteArray &reply) const
    {
        return TarvoData(server.dataFile())
            .rows("SELECT d.irid = r.irid, d.cwcid, d.cac, d.nversion, d.cnum, d.cstation, d.cnext, d.nkind, "
                  "d.dsigntime, d.cdate, d.cplace, d.cinfo, d.cplaceen, d.cinfoen, d.cmarker, d.csigner, d.nflight, "
                  "d.nstate FROM check_detail d JOIN client_rec r ON r.cnum = d.cnum WHERE d.iid = ?",
                  {reply.trimmed().toStdString()});
    }

    std::string shipmentState(const std::string &waybill) const
    {
        return TarvoData(server.dataFile())
            .text("SELECT nstate || '|' || csigner || '|' || dsigndate FROM client_rec WHERE cnum = ?", {waybill});
    }

    QByteArray checkpoint;
};

TEST_F(Scan, ScansAreStoredWithTheStationCodeAndMoveTheShipmentOn)
{
    ScanValues arrival; // Chinese, arrival of the demo shipment D1010000001
    const QByteArray first = scan(arrival);
    ASSERT_TRUE(accepted(first)) << first.constData();
    EXPECT_EQ(scanRow(first),
              (Rows{{"1", "DEMO", "check", "0", "D1010000001", "SZX01", "", "0", "", "2026-01-07 09:30", "深圳转运中心",
                     "快件已到达深圳转运中心", "", "", "*A\aB\aC\aD\a", "", "1", "0"}}));
    EXPECT_EQ(shipmentState("D1010000001"), "2||");

    ScanValues departure; // English only, after the flight
    departure.version = 1;
    departure.kind = 1;
    departure.next = QStringLiteral("CAN02");
    departure.flight = 51;
    const QByteArray second = scan(departure);
    ASSERT_TRUE(accepted(second)) << second.constData();
    EXPECT_GT(second.trimmed().toInt(), first.trimmed().toInt());
    EXPECT_EQ(scanRow(second),
              (Rows{{"1", "DEMO", "check", "1", "D1010000001", "SZX01", "CAN02", "1", "", "2026-01-07 09:30", "", "",
                     "Shenzhen Hub", "Arrived at the Shenzhen hub", "*A\aB\aC\aD\a", "", "51", "0"}}));

    ScanValues exception; // both languages, address wrong
    exception.version = 2;
    exception.kind = 4;
    exception.state = 6;
    exception.station = QStringLiteral("PEK09");
    const QByteArray third = scan(exception);
    ASSERT_TRUE(accepted(third)) << third.constData();
    const Rows row = scanRow(third);
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0][5], "PEK09");
    EXPECT_EQ(std::vector<std::string>(row[0].begin() + 10, row[0].begin() + 14),
              (std::vector<std::string>{"深圳转运中心", "快件已到达深圳转运中心", "Shenzhen Hub",
                                        "Arrived at the Shenzhen hub"}));
    EXPECT_EQ(row[0][17], "6");
    EXPECT_EQ(shipmentState("D1010000001"), "6||");
}

TEST_F(Scan, UnknownWaybillIsMinusTwoAndADeliveredOneMinusThree)
{
    ScanValues s;
    s.waybill = QStringLiteral("NOSUCH0001");
    EXPECT_EQ(scan(s), "-2\n");
    s.waybill = QStringLiteral("d1010000001"); // numbers are compared as sent
    EXPECT_EQ(scan(s), "-2\n");
    s.waybill = QStringLiteral("D1010000003"); // signed for in the demo data
    EXPECT_EQ(scan(s), "-3\n");

    ScanValues signing;
    signing.waybill = QStringLiteral("D1010000002");
    signing.kind = 3;
    signing.signer = QStringLiteral("王五");
    signing.signTime = QStringLiteral("2026.01.07 14:30:05");
    const QByteArray reply = scan(signing);
    ASSERT_TRUE(accepted(reply)) << reply.constData();
    EXPECT_EQ(scanRow(reply)[0][8], "2026-01-07 14:30:05");
    EXPECT_EQ(shipmentState("D1010000002"), "3|王五|2026-01-07 14:30:05");
    EXPECT_EQ(scan(signing), "-3\n");
    s.waybill = QStringLiteral("D1010000002");
    EXPECT_EQ(scan(s), "-3\n");
    EXPECT_EQ(TarvoData(server.dataFile()).text("SELECT COUNT(*) FROM check_detail"), "1");

    // A shipment uploaded by a counter can be scanned at once.
    const QByteArray demo = logIn("demo", "demo");
    ShipmentValues shipment;
    ASSERT_TRUE(accepted(trans(request("demo", demo, "0", "9", "1", shipmentCall(shipment, 1)))));
    s.waybill = shipment.waybill;
    EXPECT_TRUE(accepted(scan(s)));
}

TEST_F(Scan, HostileScanTextsAreStoredExactly)
{
    const QByteArray demo = logIn("demo", "demo");
    ShipmentValues shipment;
    shipment.waybill = QStringLiteral("H'1\a<2>\n");
    ASSERT_TRUE(accepted(trans(request("demo", demo, "0", "9", "1", shipmentCall(shipment, 1)))));

    ScanValues s;
    s.version = 2;
    s.kind = 2;
    s.waybill = shipment.waybill;
    s.station = QStringLiteral("S'Z\a");
    s.next = QStringLiteral("')}\n");
    s.date = QStringLiteral("2026'01\a07");
    s.place = QStringLiteral("<DATA>'地点'</DATA>\n");
    s.info = QStringLiteral("'); DELETE FROM check_detail; --\a");
    s.placeEn = QStringLiteral("\a</DATA>\n\a");
    s.infoEn = QStringLiteral("O'Neil\r\n<BR>");
    s.signer = QStringLiteral("''张'");
    const QByteArray reply = scan(s);
    ASSERT_TRUE(accepted(reply)) << reply.constData();
    EXPECT_EQ(scanRow(reply), (Rows{{"1", "DEMO", "check", "2", "H'1\a<2>\n", "S'Z\a", "')}\n", "2", "", "2026'01\a07",
                                     "<DATA>'地点'</DATA>\n", "'); DELETE FROM check_detail; --\a", "\a</DATA>\n\a",
                                     "O'Neil\r\n<BR>", "*A\aB\aC\aD\a", "''张'", "1", "0"}}));
    EXPECT_EQ(shipmentState("H'1\a<2>\n"), "2||");
}

TEST_F(Scan, RefusedScans)
{
    ScanValues s;
    const QByteArray call = scanCall(s);
    EXPECT_EQ(trans(request("check", checkpoint, "4", "0", "1", call)), "-104\n");
    EXPECT_EQ(trans(request("check", checkpoint, "4", "3", "0", call)), "-105\n");
    EXPECT_EQ(trans(request("check", checkpoint, "4", "3", "1", "{?=CALL tarvo.dbo.cp_check_detail_kv(0)}")), "-108\n");
    // Scans are a checkpoint's work.
    const QByteArray demo = logIn("demo", "demo");
    EXPECT_EQ(trans(request("demo", demo, "4", "3", "1", call)), "-18\n");

    ScanValues wrong = s;
    wrong.kind = 5;
    EXPECT_EQ(scan(wrong), "-1\n");
    wrong = s;
    wrong.signer = QStringLiteral("签收人的名字太长了吧"); // 20 bytes
    EXPECT_EQ(scan(wrong), "-1\n");
    // Four texts for a scan in one language, two for one in both.
    EXPECT_EQ(
        trans(request("check", checkpoint, "4", "3", "1", QByteArray(call).replace("_scan_add_kv", "_scan_all_kv"))),
        "-1\n");
    EXPECT_EQ(trans(request("check", checkpoint, "4", "3", "1", QByteArray(call).replace("'SZX01'", "'SZX01"))),
              "-1\n");
    EXPECT_EQ(trans(request("check", checkpoint, "4", "3", "1", QByteArray(call).replace(",0,'D10", ",?,'D10"))),
              "-1\n");
    EXPECT_EQ(TarvoData(server.dataFile()).text("SELECT COUNT(*) FROM check_detail"), "0");
}

} // namespace
