#include "DemoServer.h"
#include "ServerData.h"
#include "UploadPayload.h"
#include "support/TarvoData.h"

#include <QDate>

namespace {

using Rows = std::vector<TarvoData::Row>;

// The records of a list reply (after its header), each as its fields.
QList<QList<QByteArray>> records(const QByteArray &reply)
{
    QList<QList<QByteArray>> all;
    const qsizetype header = reply.indexOf('\a');
    if (header < 0)
        return all;
    QList<QByteArray> parts = reply.mid(header + 1).split('\a');
    parts.removeLast(); // after the last BEL
    for (const QByteArray &r : parts)
        all.append(r.split('\n'));
    return all;
}

QByteArray day(int daysAgo)
{
    return QDate::currentDate().addDays(-daysAgo).toString(QStringLiteral("yyyy.MM.dd")).toLatin1();
}

// The record check condition of the counter for the last 70 days.
QByteArray shipments(const QByteArray &more = {}, const QByteArray &icid = "101")
{
    return " FROM tarvo.dbo.client_rec WHERE icid=" + icid + " AND ddate BETWEEN '" + day(70) + " 0:0:0.0' AND '" +
           day(0) + " 23:59:59.998'" + more;
}

class Query : public DemoServer {
protected:
    void SetUp() override
    {
        DemoServer::SetUp();
        demo = logIn("demo", "demo");
    }

    QByteArray list(const QByteArray &op, const QByteArray &condition, const QByteArray &page = "1",
                    const QByteArray &account = "demo")
    {
        return trans(request(account, account == "demo" ? demo : logIn(account, account), op, page, "0", condition));
    }

    // Everything a condition must never change, in one text.
    std::string fingerprint() const
    {
        return TarvoData(server.dataFile())
            .text("SELECT (SELECT COUNT(*) || ',' || TOTAL(irid) || ',' || TOTAL(nstate) FROM client_rec) || ';' || "
                  "(SELECT COUNT(*) || ',' || TOTAL(iid) FROM rec_pre_input) || ';' || "
                  "(SELECT COUNT(*) || ',' || TOTAL(ffee) FROM client_fee) || ';' || "
                  "(SELECT COUNT(*) FROM sqlite_master) || ';' || (SELECT COUNT(*) FROM client_account)");
    }

    std::string data(const std::string &sql, const std::vector<std::string> &parameters = {}) const
    {
        return TarvoData(server.dataFile()).text(sql, parameters);
    }

    QByteArray demo;
};

TEST_F(Query, DemoDataIsRichEnoughToPageThrough)
{
    EXPECT_GE(std::stoi(data("SELECT COUNT(*) FROM client_rec WHERE icid = 101 AND "
                             "ddate >= date('now', 'localtime', '-60 days')")),
              300);
    EXPECT_EQ(data("SELECT COUNT(DISTINCT nstate) FROM client_rec WHERE icid = 101"), "11");
    EXPECT_GE(std::stoi(data("SELECT COUNT(*) FROM client_rec WHERE icid = 101 AND nstate = 3 AND csigner <> '' "
                             "AND dsigndate <> ''")),
              100);
    EXPECT_EQ(data("SELECT COUNT(DISTINCT ntype) FROM client_fee WHERE icid = 101"), "2");
    EXPECT_GE(std::stoi(data("SELECT COUNT(*) FROM client_rec WHERE icid = 102")), 30);
    EXPECT_EQ(data("SELECT COUNT(*) FROM rec_pre_input WHERE icid = 102 AND irid = 0"), "3");
}

TEST_F(Query, RecordListPagesThroughTheCustomersShipments)
{
    const QByteArray first = list("1", shipments());
    const QList<QByteArray> head = first.left(first.indexOf('\a')).split('\n');
    ASSERT_EQ(head.size(), 3) << first.left(200).constData();
    const int total = head[0].toInt();
    EXPECT_EQ(std::to_string(total), data("SELECT COUNT(*) FROM client_rec WHERE icid = 101 AND ddate >= "
                                          "date('now', 'localtime', '-70 days')"));
    EXPECT_GE(total, 300);
    EXPECT_EQ(head[1], "1");
    EXPECT_EQ(head[2].toInt(), (total + 99) / 100);
    const auto page1 = records(first);
    ASSERT_EQ(page1.size(), 100);
    for (const auto &r : page1) {
        ASSERT_EQ(r.size(), 26);
        EXPECT_TRUE(r[2].startsWith("D101")) << r[2].constData();
        EXPECT_EQ(data("SELECT icid FROM client_rec WHERE irid = ?", {r[0].toStdString()}), "101");
    }
    EXPECT_GE(page1.first()[1], page1.last()[1]) << "newest first";

    // The last page, and a page past it answers the last page again.
    const QByteArray lastPage = QByteArray::number((total + 99) / 100);
    const auto last = records(list("1", shipments(), lastPage));
    EXPECT_EQ(last.size(), total - ((total + 99) / 100 - 1) * 100);
    EXPECT_EQ(list("1", shipments(), "999"), list("1", shipments(), lastPage));
    EXPECT_EQ(trans(request("demo", demo, "1", "0", "0", shipments())), "-104\n");
    EXPECT_EQ(trans(request("demo", demo, "1", "1", "-1", shipments())), "-105\n");
}

TEST_F(Query, PredicatesSelectWhatTheyName)
{
    for (const auto &r : records(list("1", shipments(" AND nstate=3 AND nitemtype IN(0,2) AND npayway=1"))))
        EXPECT_TRUE(r[16] == "3" && (r[3] == "0" || r[3] == "2") && r[9] == "1");
    const auto exceptions = records(list("1", shipments(" AND nstate>3")));
    ASSERT_FALSE(exceptions.isEmpty());
    for (const auto &r : exceptions)
        EXPECT_GT(r[16].toInt(), 3);
    const auto one = records(list("1", shipments(" AND cnum LIKE '%0001005%'")));
    ASSERT_EQ(one.size(), 1);
    EXPECT_EQ(one[0][2], "D1010001005");
    EXPECT_TRUE(records(list("1", shipments(" AND iitem<>1 AND ifid>0 AND fweight>=2.000 AND ffee<=40.00"))).size() >
                0);

    // A text with a quote finds the record that holds it.
    ASSERT_EQ(runSql(server.dataFile(), "UPDATE client_rec SET creceiver = 'O''Neil', cdes = '北京' WHERE cnum = "
                                        "'D1010001010'"),
              "");
    const auto neil = records(list("1", shipments(" AND creceiver='O''Neil' AND cdes='" + gbk("北京") + "'")));
    ASSERT_EQ(neil.size(), 1);
    EXPECT_EQ(neil[0][2], "D1010001010");
    EXPECT_EQ(list("1", shipments(" AND creceiver='x'' OR ''1''=''1'")).left(2), "0\n")
        << "a quoted text is only a text";
    EXPECT_EQ(list("1", shipments(" and CNUM like '%1010001010%'")).left(2), "1\n") << "any letter case";
    const QByteArray early =
        " FROM tarvo.dbo.client_rec WHERE icid=101 AND dsysdate BETWEEN '1850.02.28 0:0:0.0' AND '" + day(0) +
        " 23:59:59.998'";
    EXPECT_GE(list("1", early).left(3).toInt(), 300) << "a year the date box takes";
    EXPECT_EQ(list("1", " FROM tarvo.dbo.client_rec WHERE icid=101 AND ddate BETWEEN '1900.02.29' AND '2026.1.1'"),
              "-1\n")
        << "no calendar date";
}

TEST_F(Query, HostileConditionsAreRefusedAndChangeNothing)
{
    const std::string before = fingerprint();
    const QByteArray refused[] = {
        shipments(" OR 1=1"),
        shipments("; DELETE FROM client_rec"),
        shipments(" AND cnum='x' -- "),
        shipments(" AND cnum='x' /* */"),
        shipments(" UNION SELECT * FROM client_account"),
        shipments(" AND irid IN(SELECT irid FROM client_rec)"),
        shipments(" AND cnum IN('a')"),
        shipments(" AND icid=102"),
        shipments({}, "102"),
        shipments({}, "101 OR 1=1"),
        shipments(" AND cac='demo'"),
        shipments(" AND cnum='" + QByteArray(200, 'x') + "'"),
        shipments(" AND cnum='\x81\x20'"),
        shipments(" AND cnum='unclosed"),
        shipments(" AND cnum LIKE 'x%'"),
        shipments(" AND nstate='3'"),
        shipments(" AND nstate=3.5"),
        shipments(" AND ddate BETWEEN '2026.13.01' AND '2026.01.01'"),
        shipments(" AND cnum=x'41'"),
        shipments(" AND (nstate=3)"),
        shipments(" AND"),
        shipments(QByteArray(" AND nstate=1").repeated(40)),
        " FROM tarvo.dbo.client_fee WHERE icid=101",
        " FROM sqlite_master WHERE icid=101",
        " FROM other.dbo.client_rec WHERE icid=101",
        "SELECT * FROM client_rec",
        "",
        " FROM tarvo.dbo.client_rec WHERE icid=101 AND ddate BETWEEN '2026.01.01' AND '2026.01.02'; "
        "DROP TABLE client_rec",
    };
    for (const QByteArray &condition : refused)
        EXPECT_EQ(list("1", condition), "-1\n") << condition.constData();
    EXPECT_EQ(list("6", shipments()), "-1\n") << "the settlement list takes its own table only";
    EXPECT_EQ(list("8", " FROM tarvo.dbo.rec_pre_input WHERE icid=102 AND irid=0"), "-1\n");
    EXPECT_EQ(fingerprint(), before);
}

TEST_F(Query, AnotherCustomerSeesOnlyItsOwnRows)
{
    const QByteArray other = logIn("other", "other");
    const QByteArray reply = trans(request("other", other, "1", "1", "0", shipments({}, "102")));
    const auto rows = records(reply);
    ASSERT_EQ(rows.size(), 40);
    for (const auto &r : rows)
        EXPECT_TRUE(r[2].startsWith("D102"));
    for (const auto &r : records(list("1", shipments())))
        EXPECT_FALSE(r[2].startsWith("D102"));
    const QByteArray checkpoint = logIn("check", "check");
    EXPECT_EQ(trans(request("check", checkpoint, "1", "1", "0", shipments({}, "0"))), "-18\n");
}

TEST_F(Query, SettlementsAndPreEntries)
{
    const QByteArray fees = " FROM tarvo.dbo.client_fee WHERE icid=101 AND dpdate BETWEEN '" + day(90) +
                            " 0:0:0.0' AND '" + day(0) + " 23:59:59.998'";
    const auto all = records(list("6", fees));
    ASSERT_GE(all.size(), 10);
    for (const auto &r : all) {
        ASSERT_EQ(r.size(), 11);
        EXPECT_NE(r[2], "FP1029999") << "customer 102's settlement";
    }
    const auto cleared = records(list("6", fees + " AND ntype=1 AND ffee>=1000.00"));
    ASSERT_EQ(cleared.size(), 2);
    EXPECT_EQ(cleared[0][3], "1");
    EXPECT_EQ(records(list("6", fees + " AND cinvoice LIKE '%FP202601%' AND cmname='" + gbk("王会计") + "'")).size(),
              4);

    const QByteArray pre = " FROM tarvo.dbo.rec_pre_input WHERE icid=101 AND irid=0";
    auto waiting = records(list("8", pre));
    ASSERT_EQ(waiting.size(), 1);
    ASSERT_EQ(waiting[0].size(), 14);
    EXPECT_EQ(waiting[0][2], "D1010000004");

    // An upload to the pre-entries shows in the list at once.
    const QByteArray demopre = logIn("demopre", "demo");
    ShipmentValues s;
    s.waybill = QStringLiteral("DQ0000001");
    ASSERT_TRUE(trans(request("demopre", demopre, "0", "5", "1", shipmentCall(s, 2))).trimmed().toInt() > 0);
    waiting = records(list("8", pre));
    ASSERT_EQ(waiting.size(), 2);
    EXPECT_EQ(waiting[0][2], "DQ0000001") << "newest first";
}

TEST_F(Query, InformationOfOneShipment)
{
    const std::string irid = data("SELECT irid FROM client_rec WHERE cnum = 'D1010001001'");
    const QByteArray reply = trans(request("demo", demo, "2", QByteArray::fromStdString(irid), "0", "."));
    EXPECT_GT(reply.size(), 100);
    EXPECT_TRUE(reply.startsWith("\a<RID>" + QByteArray::fromStdString(irid) + "</RID>\a"));
    EXPECT_TRUE(reply.contains("\a<NUM>D1010001001</NUM>\a"));
    EXPECT_TRUE(reply.contains("\a<FID>1001</FID>\a"));
    EXPECT_TRUE(reply.contains("\a<SNAME>" + gbk("张三") + "</SNAME>\a"));

    const std::string others = data("SELECT irid FROM client_rec WHERE icid = 102 LIMIT 1");
    EXPECT_EQ(trans(request("demo", demo, "2", QByteArray::fromStdString(others), "0", ".")), "0\n");
    EXPECT_EQ(trans(request("demo", demo, "2", "999999", "0", ".")), "0\n");
    EXPECT_EQ(trans(request("demo", demo, "2", "0", "0", ".")), "-104\n");
    EXPECT_EQ(trans(request("demo", demo, "2", "1", "1", ".")), "-105\n");
    EXPECT_EQ(trans(request("demo", demo, "2", "1", "0", "1 OR 1=1")), "-108\n");

    // Line feeds and BELs in a stored text become blanks: no value ends early.
    ASSERT_EQ(runSql(server.dataFile(), "UPDATE client_rec SET csigner = 'a' || char(7) || '</SIGN>' || char(10) "
                                        "WHERE cnum = 'D1010001001'"),
              "");
    EXPECT_TRUE(trans(request("demo", demo, "2", QByteArray::fromStdString(irid), "0", "."))
                    .contains("\a<SIGN>a </SIGN> </SIGN>\a"));
}

TEST_F(Query, DeletingPreEntriesTakesOnlyTheCustomersUnprocessedOnes)
{
    ASSERT_EQ(runSql(server.dataFile(),
                     "INSERT INTO rec_pre_input (icid, cnum, irid) VALUES (101, 'TAKEN1', 55);"
                     "INSERT INTO rec_pre_input_goods (nline, iid, cname) SELECT 0, iid, 'g' FROM rec_pre_input "
                     "WHERE cnum = 'D1010000004';"),
              "");
    const std::string mine = data("SELECT iid FROM rec_pre_input WHERE cnum = 'D1010000004'");
    const std::string taken = data("SELECT iid FROM rec_pre_input WHERE cnum = 'TAKEN1'");
    const std::string others = data("SELECT group_concat(iid) FROM rec_pre_input WHERE icid = 102");
    const QByteArray ids = QByteArray::fromStdString(mine + "," + taken + "," + others);
    const QByteArray statement = "DELETE tarvo.dbo.rec_pre_input WHERE iid IN(" + ids + ")";

    const std::string before = fingerprint();
    EXPECT_EQ(trans(request("demo", demo, "10", "4", "5", statement)), "-104\n");
    EXPECT_EQ(trans(request("demo", demo, "10", "5", "4", statement)), "-105\n");
    for (const QByteArray &bad :
         {QByteArray("DELETE tarvo.dbo.rec_pre_input WHERE iid IN(" + ids + ") OR 1=1"),
          QByteArray("DELETE tarvo.dbo.client_rec WHERE iid IN(" + ids + ")"),
          QByteArray("DELETE FROM tarvo.dbo.rec_pre_input WHERE iid IN(" + ids + ")"),
          QByteArray("DELETE tarvo.dbo.rec_pre_input WHERE iid IN(" + ids + ");DELETE FROM client_fee"),
          QByteArray("DELETE tarvo.dbo.rec_pre_input WHERE iid IN(SELECT iid FROM rec_pre_input)")})
        EXPECT_EQ(trans(request("demo", demo, "10", "5", "5", bad)), "-1\n") << bad.constData();
    EXPECT_EQ(fingerprint(), before);

    EXPECT_EQ(trans(request("demo", demo, "10", "5", "5", statement)), "1\n");
    EXPECT_EQ(data("SELECT COUNT(*) FROM rec_pre_input WHERE iid = ?", {mine}), "0");
    EXPECT_EQ(data("SELECT COUNT(*) FROM rec_pre_input_goods WHERE iid = ?", {mine}), "0");
    EXPECT_EQ(data("SELECT COUNT(*) FROM rec_pre_input WHERE cnum = 'TAKEN1'"), "1") << "processed: kept";
    EXPECT_EQ(data("SELECT COUNT(*) FROM rec_pre_input WHERE icid = 102"), "3") << "another customer's: kept";
}

} // namespace
