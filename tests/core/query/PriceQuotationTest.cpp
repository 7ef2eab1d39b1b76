#include "query/PriceQuotation.h"
#include "app/ScriptedPrompter.h"
#include "net/BaseData.h"
#include "net/ServerSession.h"
#include "preinput/FreightQuery.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

QByteArray g(const char16_t *text)
{
    return Gbk::fromUnicode(QString::fromUtf16(text));
}

BaseData kinds()
{
    BaseData data;
    data.parse("xN\nEMB\nTK\t" + g(u"特快专递") + "\nJJ\t" + g(u"经济快递") + "\n\nEME\n\a");
    return data;
}

} // namespace

TEST(PriceQuotation, RowsOfAReply)
{
    const QByteArray reply = "3\nTK\t26.005\tx\t2\t3\nZZ\t1.00\tx\t1\t1\nJJ\t13.5\t" + g(u"首重") + "\t0\t0\nbroken\n";
    const QList<PriceQuotation::Row> rows = PriceQuotation::parse(reply, kinds());
    ASSERT_EQ(rows.size(), 2) << "an unknown kind is left out, the lines after it stay";
    EXPECT_EQ(rows[0].kind, QStringLiteral("特快专递"));
    EXPECT_EQ(rows[0].freight, QStringLiteral("26.00"));
    EXPECT_EQ(rows[0].remark, QStringLiteral("预计 2 - 3 天"));
    EXPECT_EQ(rows[1].kind, QStringLiteral("经济快递"));
    EXPECT_EQ(rows[1].freight, QStringLiteral("13.50"));
    EXPECT_EQ(rows[1].remark, QString()) << "no days, no remark";
    EXPECT_TRUE(PriceQuotation::parse("1\nTK\t5\n", kinds()).isEmpty()) << "a line without its tabs ends the list";
}

TEST(PriceQuotation, ChecksAndTheBrowserPage)
{
    ServerSession session;
    session.configure("tarvo.example:8080", QStringLiteral("S01"));
    ScriptedPrompter p;
    PriceQuotation::Request r{QString(), 1, 1.2};
    EXPECT_EQ(PriceQuotation::Run(session, kinds(), r, p).outcome, PriceQuotation::Outcome::Refused);
    EXPECT_EQ(p.lastText(), QStringLiteral("在线价格查询：\r\n目的地不能为空。"));
    r = {QStringLiteral("北京"), 1, 0.0005};
    EXPECT_EQ(PriceQuotation::Run(session, kinds(), r, p).outcome, PriceQuotation::Outcome::Refused);
    EXPECT_EQ(p.lastText(), QStringLiteral("在线价格查询：\r\n必须提供重量。"));
    r = {QStringLiteral("New York  NY"), 2, 1.5};
    const PriceQuotation::Result open = PriceQuotation::Run(session, kinds(), r, p);
    EXPECT_EQ(open.outcome, PriceQuotation::Outcome::OpenPage);
    EXPECT_EQ(open.url, QStringLiteral("http://tarvo.example:8080/cgi-bin/VEdiz.dll?EmsPriceQuery&w=S01&itype=2&"
                                       "fweight=1.500&cdes=New York  NY"));
    EXPECT_EQ(PriceQuotation::title(r), QStringLiteral("客户报价查询结果[New York  NY,1.500kg,防水袋]"));
}

TEST(FreightQuery, BreakdownAndCents)
{
    const QByteArray reply = "26.00\n" + g(u"特快专递<BR>首重: 21.00元") + "\n";
    EXPECT_EQ(FreightQuery::breakdown(reply), QStringLiteral("特快专递\r\n首重: 21.00元"));
    EXPECT_EQ(FreightQuery::breakdown("26.00"), QString());
    EXPECT_EQ(FreightQuery::cents(reply), 2600);
    EXPECT_EQ(FreightQuery::cents("12.345\n"), 1234);
    EXPECT_EQ(FreightQuery::cents("0\n"), 0);
    EXPECT_EQ(FreightQuery::cents("garbage"), 0);
}
