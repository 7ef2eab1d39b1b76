#include "query/ListPage.h"
#include "net/BaseData.h"
#include "net/ListReply.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

QByteArray gbk(const QString &text)
{
    return Gbk::fromUnicode(text);
}

BaseData kinds()
{
    BaseData base;
    base.parse("xN\nEMB\nTK\t" + gbk(QStringLiteral("特快专递")) + "\n\nEME\n\a");
    return base;
}

// One shipment record of the record check list (id, then 25 fields).
QByteArray shipment(int id, int state, const QByteArray &itemType = "1", const QByteArray &payWay = "2")
{
    QList<QByteArray> f{QByteArray::number(id),
                        "2026-03-01",
                        "D" + QByteArray::number(id),
                        itemType,
                        "2",
                        "1.25",
                        "30.5",
                        gbk(QStringLiteral("北京")),
                        "TK",
                        payWay,
                        "5",
                        gbk(QStringLiteral("张三")),
                        gbk(QStringLiteral("销售部")),
                        gbk(QStringLiteral("李四")),
                        "L",
                        gbk(QStringLiteral("样品")),
                        QByteArray::number(state),
                        gbk(QStringLiteral("本人")),
                        "2026-03-03 10:00:00",
                        "138",
                        "addr",
                        "PP",
                        "remark",
                        "demo",
                        "0.00",
                        "0.00"};
    return f.join('\n') + '\a';
}

QStringList texts(std::initializer_list<const char16_t *> all)
{
    QStringList list;
    for (const char16_t *t : all)
        list.append(QString::fromUtf16(t));
    return list;
}

ListPage page(ServerListKind kind, const QByteArray &reply)
{
    return ListPage::Build(kind, ListReply::parse(reply), kinds());
}

} // namespace

TEST(ListPage, RowsAreNumberedFromTheirPage)
{
    QByteArray reply = "250\n3\n3\a";
    for (int i = 0; i < 50; ++i)
        reply += shipment(1000 + i, 1);
    const ListPage p = page(ServerListKind::Records, reply);
    ASSERT_EQ(p.rows.size(), 50u);
    EXPECT_EQ(p.rows.front().cells[0], u" 201");
    EXPECT_EQ(p.rows.back().cells[0], u" 250");
    EXPECT_EQ(p.rows.front().id, 1000);
    EXPECT_EQ(p.pages, 3);
    EXPECT_EQ(p.PageBoxText(), u"1页") << "after the last page the box offers page 1";
    EXPECT_EQ(p.Summary(ServerListKind::Records),
              u"●共 250 票，3 页。◇当前为第3页：50票100件,重量62.500公斤,运费1525.00元");
    EXPECT_EQ(p.JumpTarget(9), 0) << "limited to the last page, which is the one showing";
    EXPECT_EQ(p.JumpTarget(1), 1);
}

TEST(ListPage, OnePageOfExactlyAHundred)
{
    QByteArray reply = "100\n1\n1\a";
    for (int i = 0; i < 100; ++i)
        reply += shipment(i + 1, 3);
    const ListPage p = page(ServerListKind::Records, reply);
    EXPECT_EQ(p.pages, 1);
    EXPECT_EQ(p.PageBoxText(), u"1页");
    EXPECT_EQ(p.JumpTarget(1), 0);
    EXPECT_EQ(p.JumpTarget(2), 0) << "one page: the box does nothing";
}

TEST(ListPage, JumpRules)
{
    ListPage p;
    p.total = 350;
    p.pages = 4;
    p.page = 2;
    EXPECT_EQ(p.PageBoxText(), u"3页");
    EXPECT_EQ(p.JumpTarget(0), 0);
    EXPECT_EQ(p.JumpTarget(-3), 0);
    EXPECT_EQ(p.JumpTarget(2), 0) << "the current page";
    EXPECT_EQ(p.JumpTarget(3), 3);
    EXPECT_EQ(p.JumpTarget(99), 4);
}

TEST(ListPage, ShipmentCellsStatesAndColours)
{
    const ListPage p = page(ServerListKind::Records, "2\n1\n1\a" + shipment(7, 3) + shipment(8, 2));
    ASSERT_EQ(p.rows.size(), 2u);
    const QStringList &d = p.rows[0].cells;
    EXPECT_EQ(d, texts({u"   1", u"2026-03-01", u"D7", u"包裹", u"2", u"1.250", u"30.50", u"北京", u"特快专递", u"到付",
                        u"√", u"张三", u"销售部", u"李四", u"L", u"样品", u"送达", u"本人", u"2026-03-03 10:00:00"}));
    EXPECT_EQ(p.rows[0].text, 0x008000u);
    const QStringList &t = p.rows[1].cells;
    EXPECT_EQ(t[16], u"转运");
    EXPECT_TRUE(t[17].isEmpty() && t[18].isEmpty()) << "signer and time only for a delivered shipment";
    EXPECT_EQ(p.rows[1].text, 0x808000u);
}

TEST(ListPage, UnknownIndexesShowTheirNumberInGrey)
{
    QByteArray odd = shipment(9, 11, "7", "9");
    odd.replace("\nTK\n", "\nXX\n");
    odd.replace("\n5\n", "\n0\n");
    const ListPage p = page(ServerListKind::Records, "1\n1\n1\a" + odd);
    ASSERT_EQ(p.rows.size(), 1u);
    const QStringList &c = p.rows[0].cells;
    EXPECT_EQ(c[3], u"7");
    EXPECT_TRUE(c[8].isEmpty()) << "an unknown kind code leaves the cell empty";
    EXPECT_EQ(c[9], u"9");
    EXPECT_EQ(c[10], u"-");
    EXPECT_EQ(c[16], u"11");
    EXPECT_EQ(p.rows[0].text, 0x808080u);
    for (int state : {4, 7, 10})
        EXPECT_EQ(page(ServerListKind::Records, "1\n1\n1\a" + shipment(1, state)).rows[0].text, 0xFF0000u);
    EXPECT_EQ(page(ServerListKind::Records, "1\n1\n1\a" + shipment(1, 1)).rows[0].text, 0x000000u);
}

TEST(ListPage, ShortRecordsAndRecordsWithoutLineFeed)
{
    // The second record ends after its pieces; the third is complete; the
    // fourth has no line feed and ends the reading; the fifth is never read.
    const QByteArray reply =
        "5\n1\n1\a" + shipment(1, 1) + "2\n2026-03-02\nD2\n0\n4\a" + shipment(3, 1) + "4\a" + shipment(5, 1);
    const ListPage p = page(ServerListKind::Records, reply);
    ASSERT_EQ(p.rows.size(), 3u);
    EXPECT_EQ(p.rows[1].cells[2], u"D2");
    EXPECT_EQ(p.rows[1].cells[4], u"4");
    EXPECT_TRUE(p.rows[1].cells[5].isEmpty());
    EXPECT_EQ(p.pieces, 2 + 4 + 2);
    EXPECT_EQ(p.rows[2].id, 3);

    // A reply cut at the buffer end: the incomplete last record is dropped.
    QByteArray cut = "3\n1\n1\a" + shipment(1, 1) + shipment(2, 1) + shipment(3, 1);
    cut.chop(20);
    EXPECT_EQ(page(ServerListKind::Records, cut).rows.size(), 2u);
}

TEST(ListPage, PreEntriesTakeTheRestOfTheRecordAsUploadTime)
{
    const QByteArray record = "41\n2026-03-05\nDE1\n2\n3\n0.5\n" + gbk(QStringLiteral("广州")) +
                              "\nTK\n1\nA\nB\n020\nG\n2026-03-05 10:00:00\nextra\a";
    const ListPage p = page(ServerListKind::PreEntries, "1\n1\n1\a" + record);
    ASSERT_EQ(p.rows.size(), 1u);
    EXPECT_EQ(p.rows[0].cells, texts({u"   1", u"2026-03-05", u"DE1", u"防水袋", u"3", u"0.500", u"广州", u"特快专递",
                                      u"现付", u"A", u"B", u"020", u"G", u"2026-03-05 10:00:00\nextra"}));
    EXPECT_EQ(p.Summary(ServerListKind::PreEntries), u"●未处理预录单共 1 票，1 页。◇当前为第1页：1票3件,重量0.500公斤");
}

TEST(ListPage, ClearancesCarryNoBill)
{
    const QByteArray reply = "2\n1\n1\a"
                             "5\n2026-03-01\nFP1\n0\n100.5\n100.5\nCNY\n100.5\nW\nsys\nweekly\a"
                             "6\n2026-03-02\n\n1\n2000\n2000\nCNY\n2000\nL\nsys\npaid\nby bank\a";
    const ListPage p = page(ServerListKind::Settlements, reply);
    ASSERT_EQ(p.rows.size(), 2u);
    EXPECT_EQ(p.rows[0].cells[3], u"核收");
    EXPECT_EQ(p.rows[1].cells[3], u"清缴");
    EXPECT_TRUE(p.rows[1].cells[5].isEmpty());
    EXPECT_EQ(p.rows[1].cells[10], u"paid\nby bank");
    EXPECT_EQ(p.Summary(ServerListKind::Settlements),
              u"●共 2 条，1 页。◇当前为第1页：2条,结算2100.50元,票单100.50元,原币计2100.50");
}
