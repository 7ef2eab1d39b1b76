#include "DemoServer.h"
#include "UploadPayload.h"
#include "support/TarvoData.h"

#include <functional>

namespace {

using Rows = std::vector<TarvoData::Row>;

class Upload : public DemoServer {
protected:
    void SetUp() override
    {
        DemoServer::SetUp();
        demo = logIn("demo", "demo");
        demopre = logIn("demopre", "demo");
    }

    QByteArray upload(const QByteArray &call, const QByteArray &account = "demo", const QByteArray &id = "7")
    {
        return trans(request(account, account == "demopre" ? demopre : demo, "0", id, "1", call));
    }

    static bool accepted(const QByteArray &reply) { return reply.endsWith('\n') && reply.trimmed().toInt() > 0; }

    std::string count(const std::string &table, const std::string &where = "1") const
    {
        return TarvoData(server.dataFile()).text("SELECT COUNT(*) FROM " + table + " WHERE " + where);
    }

    static ShipmentValues withLines()
    {
        ShipmentValues s;
        s.goodsLines = {
            {QStringLiteral("手机壳"), 10, 2.5}, {QStringLiteral("数据线"), 3, 12}, {QStringLiteral("Box"), 1, 0}};
        const PieceLineValues piece{30, 20, 10, 1200, 50, QStringLiteral("手机壳"), 10, 250};
        // Two equal pieces are two pieces.
        s.pieceLines = {piece, piece, {40, 30, 20, 800, 0, QStringLiteral("数据线"), 3, 1200}};
        return s;
    }

    QByteArray demo;
    QByteArray demopre;
};

TEST_F(Upload, AShipmentIsStoredWithItsGoodsAndPieceLines)
{
    const ShipmentValues s = withLines();
    const QByteArray reply = upload(shipmentCall(s, 1));
    ASSERT_TRUE(accepted(reply)) << reply.constData();
    const std::string id = reply.trimmed().toStdString();

    const TarvoData data(server.dataFile());
    const Rows shipment = data.rows(
        "SELECT icid, cac, nitemtype, nlanguage, ddate, npayway, cmarker, cemskind, cfrom, cdes, cnum, fweight, ffee, "
        "csender, creceiver, cphone, creceivercorp, creceiverzip, creceiveraddr, creceivercountry, creceivercity, "
        "creceiverprov, cremark, csize, fweighed, cgoods, nquantity, iprice, cpack, ideclare, iinsure, ccurrency, "
        "csendercorp, csenderaddr, csenderphone, csenderzip, csendercountry, csenderprov, csendercity, cmark, "
        "cpaydir, cgoodsorigin, iitem, cextra, fcollect, fcollectsettle, csendersms, fcod, fcodsettle, cdepart, "
        "csendermail, creceivermail, creceiversms, famount, iiid, ifid, nstate FROM client_rec WHERE irid = ?",
        {id});
    ASSERT_EQ(shipment.size(), 1u);
    const TarvoData::Row expected = {"101",
                                     "demo",
                                     "1",
                                     "0",
                                     "2026-01-07 00:00:00",
                                     "2",
                                     "*A\aB\aC\aD\a",
                                     "TK",
                                     "深圳",
                                     "北京",
                                     "DE9010700101",
                                     "1.25",
                                     "26.5",
                                     "张三",
                                     "李四",
                                     "010-66668888",
                                     "北京演示贸易公司",
                                     "100020",
                                     "朝阳区建国路88号",
                                     "中国",
                                     "北京市",
                                     "北京",
                                     "轻放",
                                     "30*20*10",
                                     "1.3",
                                     "样品",
                                     "4",
                                     "1250",
                                     "纸箱",
                                     "5000",
                                     "3000",
                                     "CNY",
                                     "演示客户有限公司",
                                     "南山区科技园演示路1号",
                                     "0755-88886666",
                                     "518000",
                                     "中国",
                                     "广东",
                                     "深圳市",
                                     "A1",
                                     "CC",
                                     "CN",
                                     "3",
                                     "",
                                     "26.5",
                                     "20.25",
                                     "13800138000",
                                     "99.5",
                                     "98.75",
                                     "销售部",
                                     "a@example.com",
                                     "b@example.com",
                                     "13900139000",
                                     "26.5",
                                     "7",
                                     "0",
                                     "0"};
    EXPECT_EQ(shipment.front(), expected);

    EXPECT_EQ(data.rows("SELECT nline, irid, cname, cename, nquantity, fprice FROM client_rec_goods WHERE irid = ? "
                        "ORDER BY nline",
                        {id}),
              (Rows{{"0", id, "手机壳", "", "10", "2.5"},
                    {"1", id, "数据线", "", "3", "12.0"},
                    {"2", id, "Box", "", "1", "0.0"}}));
    EXPECT_EQ(data.rows("SELECT irid, nlength, nwidth, nheight, nweight, nvolpercent, cpieceno, nvolweight, "
                        "nchargeweight, nstate, nreserve, cname, nquantity, iprice, cremark "
                        "FROM client_rec_weight_detail WHERE irid = ? ORDER BY rowid",
                        {id}),
              (Rows{{id, "30", "20", "10", "1200", "50", "", "0", "0", "0", "0", "手机壳", "10", "250", ""},
                    {id, "30", "20", "10", "1200", "50", "", "0", "0", "0", "0", "手机壳", "10", "250", ""},
                    {id, "40", "30", "20", "800", "0", "", "0", "0", "0", "0", "数据线", "3", "1200", ""}}));
    EXPECT_EQ(count("rec_pre_input_goods"), "0");

    // The shipment now owes its freight: the balance counts it.
    EnvelopeParts balance;
    balance.session = demo;
    EXPECT_EQ(trans(balance), "1\n5000.00\n1200.50\n0\n95.00\n3\n18.00\n1\n");

    // Without lines, and paid at once: the collect amounts arrive as 0.
    ShipmentValues bare;
    bare.waybill = QStringLiteral("DE9010700102");
    bare.payWay = 1;
    const QByteArray second = upload(shipmentCall(bare, 1), "demo", "8");
    ASSERT_TRUE(accepted(second)) << second.constData();
    EXPECT_GT(second.trimmed().toLongLong(), reply.trimmed().toLongLong());
    EXPECT_EQ(data.rows("SELECT npayway, fcollect, fcollectsettle, iiid FROM client_rec WHERE cnum = 'DE9010700102'"),
              (Rows{{"1", "0.0", "0.0", "8"}}));
    EXPECT_EQ(count("client_rec_goods", "irid = " + second.trimmed().toStdString()), "0");
    EXPECT_EQ(count("client_rec_weight_detail", "irid = " + second.trimmed().toStdString()), "0");
}

TEST_F(Upload, PreEntriesKeepTheirGoodsLinesAndCarryNoPieceBatch)
{
    ShipmentValues s = withLines();
    s.waybill = QStringLiteral("DE9010700201");
    const QByteArray call = shipmentCall(s, 2);
    EXPECT_FALSE(call.contains("weight_detail"));
    const QByteArray reply = upload(call, "demopre");
    ASSERT_TRUE(accepted(reply)) << reply.constData();
    const std::string id = reply.trimmed().toStdString();

    const TarvoData data(server.dataFile());
    EXPECT_EQ(
        data.rows("SELECT icid, cac, irid, cnum, cdes, ffee, ddate, cgoods, iitem FROM rec_pre_input WHERE iid = ?",
                  {id}),
        (Rows{{"101", "demopre", "0", "DE9010700201", "北京", "26.5", "2026-01-07 00:00:00", "样品", "3"}}));
    EXPECT_EQ(
        data.rows("SELECT nline, iid, cname, nquantity, fprice FROM rec_pre_input_goods WHERE iid = ? ORDER BY nline",
                  {id}),
        (Rows{{"0", id, "手机壳", "10", "2.5"}, {"1", id, "数据线", "3", "12.0"}, {"2", id, "Box", "1", "0.0"}}));
    EXPECT_EQ(count("client_rec", "cnum = 'DE9010700201'"), "0");

    // Each account calls the procedure of its own target only.
    s.waybill = QStringLiteral("DE9010700202");
    EXPECT_EQ(upload(shipmentCall(s, 1), "demopre"), "-18\n");
    EXPECT_EQ(upload(shipmentCall(s, 2), "demo"), "-18\n");
    // The batches must be those of the target.
    QByteArray wrongTable = shipmentCall(s, 2);
    wrongTable.replace("rec_pre_input_goods", "client_rec_goods");
    EXPECT_EQ(upload(wrongTable, "demopre"), "-1\n");
    EXPECT_EQ(count("rec_pre_input", "cnum = 'DE9010700202'"), "0");
    EXPECT_EQ(count("client_rec", "cnum = 'DE9010700202'"), "0");
}

TEST_F(Upload, AWaybillNumberAlreadyHeldIsRefusedWithMinusTwo)
{
    const ShipmentValues s = withLines();
    ASSERT_TRUE(accepted(upload(shipmentCall(s, 1))));
    EXPECT_EQ(upload(shipmentCall(s, 1)), "-2\n");
    EXPECT_EQ(upload(shipmentCall(s, 2), "demopre"), "-2\n");
    EXPECT_EQ(count("client_rec", "cnum = 'DE9010700101'"), "1");
    EXPECT_EQ(count("client_rec_goods"), "3");
    EXPECT_EQ(count("client_rec_weight_detail"), "3");

    // The demo data's numbers: a shipment and a waiting pre-entry.
    ShipmentValues held;
    held.waybill = QStringLiteral("D1010000001");
    EXPECT_EQ(upload(shipmentCall(held, 2), "demopre"), "-2\n");
    held.waybill = QStringLiteral("D1010000004");
    EXPECT_EQ(upload(shipmentCall(held, 1)), "-2\n");
    EXPECT_EQ(count("rec_pre_input", "icid = 101"), "1");
}

TEST_F(Upload, DataItCannotTakeIsRefusedWithMinusOneAndNothingIsStored)
{
    const ShipmentValues good = withLines();
    const QByteArray call = shipmentCall(good, 1);
    const auto changed = [&](const std::function<void(ShipmentValues &)> &change, LineNames names = LineNames::Quoted) {
        ShipmentValues s = good;
        change(s);
        return shipmentCall(s, 1, names);
    };
    const auto replaced = [&](const QByteArray &from, const QByteArray &to) {
        EXPECT_TRUE(call.contains(from)) << from.constData();
        return QByteArray(call).replace(from, to);
    };

    const QList<QByteArray> refused = {
        changed([](ShipmentValues &s) { s.clientId = 102; }),
        changed([](ShipmentValues &s) { s.itemType = 3; }),
        changed([](ShipmentValues &s) { s.kind = QStringLiteral("ZZ"); }),
        changed([](ShipmentValues &s) { s.destination.clear(); }),
        changed([](ShipmentValues &s) { s.waybill.clear(); }),
        changed([](ShipmentValues &s) { s.waybill = QString(32, QLatin1Char('9')); }),
        changed([](ShipmentValues &s) { s.remark = QString(128, QChar(0x4E2D)); }), // 256 GBK bytes
        changed([](ShipmentValues &s) { s.currency = QStringLiteral("CNYY"); }),
        changed([](ShipmentValues &s) { s.pieces = -1; }),
        changed([](ShipmentValues &s) { s.goodsLines[1].name = QStringLiteral("O'Neil"); }, LineNames::Verbatim),
        changed([](ShipmentValues &s) { s.pieceLines[0].volumePercent = 256; }),
        replaced("'2026.01.07'", "'2026.02.30'"),
        replaced("'2026.01.07'", "'07.01.2026'"),
        replaced(gbk("张三"), "\xff\xfe"),
        replaced(",4,1250,", ",4.5,1250,"),
        replaced("1.250", "1.2x"),
        replaced("'CNY'", "5"),
        replaced("'CNY'", QByteArray("'C\0Y'", 5)),
        replaced(")}", ""),
        replaced(")}", ")}x"),
        replaced(",'*A", ",,'*A"),
        replaced("select 1,#1234567#", "select 1,101"),
        replaced("select 0,#1234567#", "select #1234567#"),
        replaced(" union select 1", " union 1"),
        replaced("'''',0,0,0,0,", "'''',0,0,0,"),
        call.left(call.lastIndexOf(",'INSERT")) + ")}",
    };
    for (const QByteArray &payload : refused)
        EXPECT_EQ(upload(payload), "-1\n") << payload.constData();

    EXPECT_EQ(count("client_rec", "cnum LIKE 'DE90107%'"), "0");
    EXPECT_EQ(count("client_rec_goods"), "0");
    EXPECT_EQ(count("client_rec_weight_detail"), "0");

    // At the limits, and with names written as they are when they hold no quote.
    const QByteArray longest = changed(
        [](ShipmentValues &s) {
            s.remark = QString(127, QChar(0x4E2D)) + QLatin1Char('x');
            s.waybill = QString(31, QLatin1Char('9'));
        },
        LineNames::Verbatim);
    ASSERT_TRUE(accepted(upload(longest)));
    EXPECT_EQ(count("client_rec_goods"), "3");
}

TEST_F(Upload, EnvelopeOfAnUpload)
{
    const std::string shipments = count("client_rec");
    const QByteArray call = shipmentCall(ShipmentValues(), 1);
    EXPECT_EQ(trans(request("demo", demo, "0", "0", "1", call)), "-104\n");
    EXPECT_EQ(trans(request("demo", demo, "0", "7", "2", call)), "-105\n");
    EnvelopeParts bel = request("demo", demo, "0", "7", "1", call);
    bel.trailingBel = true;
    EXPECT_EQ(trans(bel), "-108\n");
    EXPECT_EQ(upload("SELECT * FROM client_rec"), "-108\n");
    EXPECT_EQ(upload("{?=CALL tarvo.dbo.cp_client_rec_delete_kv(1)}"), "-108\n");
    EXPECT_EQ(upload(""), "-108\n");

    const QByteArray checkpoint = logIn("check", "check");
    EXPECT_EQ(trans(request("check", checkpoint, "0", "7", "1", call)), "-18\n");
    EXPECT_EQ(count("client_rec"), shipments);
}

// Texts that would break string-built SQL or the envelope, in every text field.
TEST_F(Upload, HostileTextsAreStoredExactlyAsTyped)
{
    const int shipments = std::stoi(count("client_rec"));
    struct TextField {
        const char *column;
        QString ShipmentValues::*field;
        int maxBytes;
    };
    const std::vector<TextField> fields = {
        {"cfrom", &ShipmentValues::from, 63},
        {"cdes", &ShipmentValues::destination, 63},
        {"cnum", &ShipmentValues::waybill, 31},
        {"csender", &ShipmentValues::sender, 31},
        {"creceiver", &ShipmentValues::receiver, 31},
        {"cphone", &ShipmentValues::phone, 63},
        {"creceivercorp", &ShipmentValues::receiverCorp, 127},
        {"creceiverzip", &ShipmentValues::receiverZip, 15},
        {"creceiveraddr", &ShipmentValues::receiverAddr, 127},
        {"creceivercountry", &ShipmentValues::receiverCountry, 63},
        {"creceivercity", &ShipmentValues::receiverCity, 31},
        {"creceiverprov", &ShipmentValues::receiverProv, 31},
        {"cremark", &ShipmentValues::remark, 255},
        {"csize", &ShipmentValues::size, 15},
        {"cgoods", &ShipmentValues::goods, 255},
        {"cpack", &ShipmentValues::pack, 15},
        {"ccurrency", &ShipmentValues::currency, 3},
        {"csendercorp", &ShipmentValues::senderCorp, 127},
        {"csenderaddr", &ShipmentValues::senderAddr, 127},
        {"csenderphone", &ShipmentValues::senderPhone, 63},
        {"csenderzip", &ShipmentValues::senderZip, 15},
        {"csendercountry", &ShipmentValues::senderCountry, 63},
        {"csenderprov", &ShipmentValues::senderProv, 31},
        {"csendercity", &ShipmentValues::senderCity, 31},
        {"cmark", &ShipmentValues::mark, 15},
        {"cpaydir", &ShipmentValues::payDir, 3},
        {"cgoodsorigin", &ShipmentValues::goodsOrigin, 3},
        {"csendersms", &ShipmentValues::senderSms, 23},
        {"cdepart", &ShipmentValues::depart, 31},
        {"csendermail", &ShipmentValues::senderMail, 63},
        {"creceivermail", &ShipmentValues::receiverMail, 63},
        {"creceiversms", &ShipmentValues::receiverSms, 23},
    };
    const QStringList hostile = {
        QStringLiteral("O'Neil's \"shop\""),
        QStringLiteral("''"),
        QStringLiteral("a\aBEL\a"),
        QStringLiteral("line\nfeed\r\nend\n"),
        QStringLiteral("<DATA>x</DATA>\n<AC>"),
        QStringLiteral("\a</DATA>\n\a"),
        QStringLiteral("')}"),
        QStringLiteral("'); DROP TABLE client_rec; --"),
        QStringLiteral("<BR>&amp;<script>"),
        QStringLiteral("中文‘引号’「括号」"),
        QStringLiteral("#1234567#,' union select 1,2 --"),
        QStringLiteral("%s %d \\' \\\\"),
        QStringLiteral("?,?,?"),
        QStringLiteral("'''"),
    };
    ShipmentValues s = withLines();
    std::vector<std::string> typed;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        QString text = hostile[static_cast<qsizetype>(i) % hostile.size()];
        while (gbk(text).size() > fields[i].maxBytes)
            text.chop(1);
        s.*fields[i].field = text;
        typed.push_back(text.toStdString());
    }
    s.goodsLines[0].name = QStringLiteral("a'b''c\a<x>\n中");
    s.goodsLines[1].name = QStringLiteral("'),(1,2); DELETE FROM client_rec_goods; --");
    s.pieceLines[2].name = QStringLiteral("''''\n' union select #1234567#");

    const QByteArray reply = upload(shipmentCall(s, 1));
    ASSERT_TRUE(accepted(reply)) << reply.constData();
    const std::string id = reply.trimmed().toStdString();
    const TarvoData data(server.dataFile());
    for (std::size_t i = 0; i < fields.size(); ++i)
        EXPECT_EQ(data.text(std::string("SELECT ") + fields[i].column + " FROM client_rec WHERE irid = ?", {id}),
                  typed[i])
            << fields[i].column;
    EXPECT_EQ(data.rows("SELECT cname FROM client_rec_goods WHERE irid = ? ORDER BY nline", {id}),
              (Rows{{"a'b''c\a<x>\n中"}, {"'),(1,2); DELETE FROM client_rec_goods; --"}, {"Box"}}));
    EXPECT_EQ(data.text("SELECT cname FROM client_rec_weight_detail WHERE irid = ? ORDER BY rowid DESC", {id}),
              "''''\n' union select #1234567#");
    EXPECT_EQ(count("client_rec"), std::to_string(shipments + 1));

    // The same for a pre-entry.
    s.waybill = QStringLiteral("P'1\a\n");
    const QByteArray pre = upload(shipmentCall(s, 2), "demopre");
    ASSERT_TRUE(accepted(pre)) << pre.constData();
    EXPECT_EQ(data.rows("SELECT cnum, creceiveraddr FROM rec_pre_input WHERE iid = ?", {pre.trimmed().toStdString()}),
              (Rows{{"P'1\a\n", s.receiverAddr.toStdString()}}));
    EXPECT_EQ(
        data.text("SELECT cname FROM rec_pre_input_goods WHERE iid = ? AND nline = 0", {pre.trimmed().toStdString()}),
        "a'b''c\a<x>\n中");
}

} // namespace
