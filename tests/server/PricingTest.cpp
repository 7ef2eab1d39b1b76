#include "DemoServer.h"
#include "support/TarvoData.h"

namespace {

class Pricing : public DemoServer {
protected:
    void SetUp() override
    {
        DemoServer::SetUp();
        session = logIn("demo", "demo");
    }

    // Operation 3: item type, grams, destination and kind code.
    QByteArray freight(int itemType, int grams, const char *destination, const QByteArray &kind)
    {
        return trans(request("demo", session, "3", QByteArray::number(itemType), QByteArray::number(grams),
                             gbk(destination) + '\n' + kind + '\n'));
    }

    QByteArray quote(int itemType, int grams, const QByteArray &destination)
    {
        return trans(
            request("demo", session, "9", QByteArray::number(itemType), QByteArray::number(grams), destination + '\n'));
    }

    static QByteArray firstLine(const QByteArray &reply) { return reply.left(reply.indexOf('\n')); }

    QByteArray session;
};

TEST_F(Pricing, FreightByKindZoneItemTypeAndWeight)
{
    // Express to Beijing (zone 4), a parcel of 1.2 kg: 21.00 for the first kilogram, 5.00 for the second.
    const QByteArray reply = freight(1, 1200, "北京", "TK");
    EXPECT_EQ(reply, gbk("26.00\n特快专递 → 北京 (4区), 包裹, 计费重量1200克<BR>首重1000克: 21.00元<BR>"
                         "续重1×1000克: 5.00元<BR>运费合计: 26.00元<BR>预计 2 - 3 天\n"));

    EXPECT_EQ(firstLine(freight(1, 1000, "北京", "TK")), "21.00");
    EXPECT_EQ(firstLine(freight(1, 1001, "北京", "TK")), "26.00");
    EXPECT_EQ(firstLine(freight(1, 2000, "北京", "TK")), "26.00");
    EXPECT_EQ(firstLine(freight(1, 2001, "北京", "TK")), "31.00");
    EXPECT_EQ(firstLine(freight(0, 1000, "北京", "TK")), "19.00");
    EXPECT_EQ(firstLine(freight(2, 1000, "北京", "TK")), "24.00");
    EXPECT_EQ(firstLine(freight(1, 1200, "北京", "JJ")), "13.50");
    EXPECT_EQ(firstLine(freight(1, 1000, "广东深圳", "TK")), "12.00");
    EXPECT_EQ(firstLine(freight(1, 500, "广东深圳", "TC")), "6.00");
    EXPECT_EQ(firstLine(freight(1, 1000, " 北京 ", "TK")), "21.00");
    EXPECT_EQ(firstLine(freight(1, 3500, "美国", "GJ")), "360.00");

    // No price: a kind that does not serve the destination, an unknown destination or kind.
    EXPECT_EQ(freight(1, 1200, "北京", "GA"), "0\n");
    EXPECT_EQ(freight(1, 1200, "火星", "TK"), "0\n");
    EXPECT_EQ(freight(1, 1200, "北京", "XX"), "0\n");
    EXPECT_EQ(freight(1, 1200, "\xff\xff", "TK"), "0\n");

    EXPECT_EQ(freight(3, 1200, "北京", "TK"), "-104\n");
    EXPECT_EQ(freight(1, 0, "北京", "TK"), "-105\n");
    EnvelopeParts e = request("demo", session, "3", "1", "1200", gbk("北京\nTK\n"));
    e.trailingBel = false;
    EXPECT_EQ(trans(e), "-108\n");
    EXPECT_EQ(trans(request("demo", session, "3", "1", "1200", gbk("北京\n"))), "-108\n");
    EXPECT_EQ(trans(request("demo", session, "3", "1", "1200", gbk("北京\nTK"))), "-108\n");
}

TEST_F(Pricing, QuotationLinesForEveryKindServingTheDestination)
{
    EXPECT_EQ(quote(1, 1200, gbk("北京")), gbk("2\nTK\t26.00\t首重1000克21.00元,续重每1000克5.00元\t2\t3\n"
                                               "JJ\t13.50\t首重1000克11.00元,续重每1000克2.50元\t4\t6\n"));
    const QByteArray hongKong = quote(0, 1200, gbk("香港"));
    EXPECT_EQ(hongKong.left(2), "3\n");
    const QList<QByteArray> lines = hongKong.mid(2).split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("TK\t32.00\t"));
    EXPECT_TRUE(lines[1].startsWith("GA\t58.00\t"));
    EXPECT_TRUE(lines[2].startsWith("GJ\t78.00\t"));
    EXPECT_TRUE(lines[2].endsWith("\t3\t7"));
    EXPECT_EQ(lines[3], "");

    EXPECT_EQ(quote(1, 1200, gbk("火星")), "0\n");
    EXPECT_EQ(quote(3, 1200, gbk("北京")), "-104\n");
    EXPECT_EQ(quote(1, -5, gbk("北京")), "-105\n");
    EXPECT_EQ(quote(1, 1200, gbk("北京\nTK")), "-108\n");
    EnvelopeParts e = request("demo", session, "9", "1", "1200", gbk("北京\n"));
    e.trailingBel = false;
    EXPECT_EQ(trans(e), "-108\n");
    // A checkpoint may ask for prices too.
    const QByteArray checkpoint = logIn("check", "check");
    EXPECT_EQ(trans(request("check", checkpoint, "9", "1", "1200", gbk("北京\n"))).left(2), "2\n");
}

TEST_F(Pricing, EveryDemoKindHasAPriceWhereverItServes)
{
    const TarvoData data(server.dataFile());
    const auto destinations =
        data.rows("SELECT d.cname, COUNT(s.ccode) FROM destination d LEFT JOIN ems_kind_des s ON s.ides = d.ides "
                  "GROUP BY d.ides ORDER BY d.ides");
    ASSERT_GT(destinations.size(), 100u);
    for (const auto &d : destinations) {
        for (int itemType = 0; itemType < 3; ++itemType) {
            const QByteArray reply = quote(itemType, 2500, gbk(d[0].c_str()));
            const QList<QByteArray> lines = reply.split('\n');
            ASSERT_EQ(lines[0].toStdString(), d[1]) << d[0] << " item type " << itemType;
            for (qsizetype i = 1; i < lines.size() - 1; ++i)
                EXPECT_GT(lines[i].split('\t').value(1).toDouble(), 0) << d[0];
        }
    }
}

} // namespace
