#include "net/BalanceReply.h"
#include "net/EnvelopeStatus.h"
#include "net/ListReply.h"
#include "net/ReplyText.h"

#include <gtest/gtest.h>

using namespace quarvel;

TEST(ReplyText, StatusNumberAsTheServerWritesIt)
{
    EXPECT_EQ(EnvelopeStatus::read("17\nrest"), 17);
    EXPECT_EQ(EnvelopeStatus::read("  \t-15"), -15);
    EXPECT_EQ(EnvelopeStatus::read("+3x"), 3);
    EXPECT_EQ(EnvelopeStatus::read("abc"), 0);
    EXPECT_EQ(EnvelopeStatus::read(""), 0);
    EXPECT_EQ(EnvelopeStatus::read("-"), 0);
    EXPECT_EQ(EnvelopeStatus::read("99999999999999999999"), 2147483647) << "held to the int range";
    EXPECT_EQ(EnvelopeStatus::read("-99999999999999999999"), -2147483647 - 1);
    EXPECT_DOUBLE_EQ(ReplyText::decimal("  12.5kg"), 12.5);
    EXPECT_DOUBLE_EQ(ReplyText::decimal("-3"), -3);
    EXPECT_DOUBLE_EQ(ReplyText::decimal("1e400"), 0) << "no infinity from the wire";
    EXPECT_DOUBLE_EQ(ReplyText::decimal("nan"), 0);
    EXPECT_DOUBLE_EQ(ReplyText::decimal(""), 0);
}

TEST(ReplyText, SeparatorSearchStepsOverDoubleByteCharacters)
{
    // 0xB1 0x0A would be a broken character, but the 0x0A is its trail byte.
    const QByteArray text("a\xb1\n\x81\a\nz\a", 8);
    EXPECT_EQ(ReplyText::find(text, '\n'), 5);
    EXPECT_EQ(ReplyText::find(text, '\a'), 7);
    EXPECT_EQ(ReplyText::find(text, '\n', 6), -1);
    EXPECT_EQ(ReplyText::find("\xb1", '\n'), -1) << "a lead byte at the end reads nothing beyond";
}

TEST(EnvelopeStatusText, TableAndUnknownCodes)
{
    EXPECT_EQ(EnvelopeStatus::text(0), QStringLiteral("没有查询结果。"));
    EXPECT_EQ(EnvelopeStatus::text(-9), QStringLiteral("服务器数据库内部错误。"));
    EXPECT_EQ(EnvelopeStatus::text(-10), QStringLiteral("VEdiz版本不支持。"));
    EXPECT_EQ(EnvelopeStatus::text(-15), QStringLiteral("未登入或工作期错误。"));
    EXPECT_EQ(EnvelopeStatus::text(-18), QStringLiteral("会员类型错误。不支持提交的操作！"));
    EXPECT_EQ(EnvelopeStatus::text(-107), QStringLiteral("工作期错误。"));
    EXPECT_EQ(EnvelopeStatus::text(-1000), QStringLiteral("没有可用的查询命令。"));
    EXPECT_EQ(EnvelopeStatus::text(-14), QStringLiteral("未知错误，查询失败。"));
    EXPECT_EQ(EnvelopeStatus::text(-1), QStringLiteral("未知错误，查询失败。"));
}

TEST(BalanceReply, SummaryText)
{
    const BalanceReply r = BalanceReply::parse("1\n5000\n-1200.5\n9\n300.25\n4\n100\n2\n").value();
    EXPECT_DOUBLE_EQ(r.unsettled(), 400.25);
    EXPECT_EQ(r.unsettledCount(), 6);
    const QDateTime when(QDate(2026, 3, 9), QTime(8, 5, 7));
    EXPECT_EQ(r.text(when), QStringLiteral("业务结算情况\r\n────────────────────\r\n"
                                           "信用额度:     5000.00\r\n结算余额:    -1200.50\r\n"
                                           "未核金额:      400.25[6票]\r\n发货余额:     3399.25[含信用5000.00]\r\n"
                                           "实际余额:    -1600.75[概算供参考]\r\n────────────────────\r\n"
                                           "查询时间:2026-03-09 08:05:07[本地]\r\n"));
}

TEST(BalanceReply, MissingLinesReadAsZero)
{
    const QDateTime when(QDate(2026, 1, 2), QTime(3, 4, 5));
    const QString zeros = BalanceReply::parse("1").value().text(when);
    EXPECT_TRUE(zeros.contains(QStringLiteral("信用额度:        0.00\r\n")));
    EXPECT_TRUE(zeros.contains(QStringLiteral("未核金额:        0.00[0票]")));
    EXPECT_TRUE(zeros.contains(QStringLiteral("实际余额:        0.00[概算供参考]")));

    EXPECT_TRUE(BalanceReply::parse("1\n").has_value());
    const BalanceReply partial = BalanceReply::parse("1\n100\n20\r\n").value();
    EXPECT_DOUBLE_EQ(partial.creditLimit, 100);
    EXPECT_DOUBLE_EQ(partial.settlementBalance, 20);
    EXPECT_DOUBLE_EQ(partial.unsettled(), 0);
}

TEST(BalanceReply, AReplyThatDoesNotHoldItsGrammarIsNoBalance)
{
    // Cut before a line's end: "20" may have been "200.00".
    EXPECT_FALSE(BalanceReply::parse("1\n100\n20").has_value());
    EXPECT_TRUE(BalanceReply::parse("1\n100\n").has_value());
    for (const char *bad : {"1\n1e3\n", "1\n100\n20\nx\n", "1\n\n", "1\n1.5.5\n", "1\n-\n", "1\n100\n20\n1.5\n",
                            "1\nnan\n", "1\n100\n20\n0\n3\n99999999999\n", "1 2\n", "x\n", "1\n100 200\n"})
        EXPECT_FALSE(BalanceReply::parse(bad).has_value()) << bad;
    // Signs, blanks around a number, a fraction without digits after the
    // point and what follows the seventh line are part of a good reply.
    const BalanceReply r = BalanceReply::parse(" 1 \n+5000.\n -.5\n0\n1\n2147483647\n1\n-3\ntrailer").value();
    EXPECT_DOUBLE_EQ(r.creditLimit, 5000);
    EXPECT_DOUBLE_EQ(r.settlementBalance, -0.5);
    EXPECT_EQ(r.countFirst, 2147483647);
    EXPECT_EQ(r.unsettledCount(), 2147483644) << "the sum of both counts";
    const BalanceReply huge = BalanceReply::parse("1\n0\n0\n0\n0\n2147483647\n0\n2147483647\n").value();
    EXPECT_EQ(huge.unsettledCount(), 2147483647) << "held to the int range";
}

TEST(ListReply, PagesAndRecords)
{
    const QByteArray gbk("\xb1\xb1\xbe\xa9", 4);
    const ListReply r = ListReply::parse("250\n2\nmore header\a" + gbk + "\n1.5\nx\a" + "second\a");
    ASSERT_TRUE(r.matched());
    EXPECT_EQ(r.total, 250);
    EXPECT_EQ(r.page, 2);
    ASSERT_EQ(r.records.size(), 2);
    EXPECT_EQ(r.records[0], (QList<QByteArray>{gbk, "1.5", "x"}));
    EXPECT_EQ(r.records[1], QList<QByteArray>{"second"});

    // A trail byte of 0x07 is part of its character, not a record end.
    const QByteArray tricky("1\n1\a\x81\a\n2\a", 9);
    const ListReply t = ListReply::parse(tricky);
    ASSERT_EQ(t.records.size(), 1);
    EXPECT_EQ(t.records[0], (QList<QByteArray>{QByteArray("\x81\a", 2), "2"}));
}

TEST(ListReply, NothingMatched)
{
    EXPECT_FALSE(ListReply::parse("0\n1\a").matched());
    EXPECT_FALSE(ListReply::parse("5").matched()) << "no line feed";
    EXPECT_FALSE(ListReply::parse("5\n1 no bel").matched());
    const ListReply failed = ListReply::parse("-15");
    EXPECT_FALSE(failed.matched());
    EXPECT_EQ(failed.total, -15);
}
