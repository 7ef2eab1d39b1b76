#include "preinput/PreInputFieldGuide.h"

#include <gtest/gtest.h>

using namespace quarvel;

TEST(PreInputFieldGuide, ListValuesMustBeAnEntryOfTheirList)
{
    EXPECT_EQ(PreInputFieldGuide::CheckNumber(QStringLiteral("npayway"), QStringLiteral("5")),
              QStringLiteral("[付款]只能是 0 月结, 1 现付, 2 到付：5"));
    EXPECT_EQ(PreInputFieldGuide::CheckNumber(QStringLiteral("nitemtype"), QStringLiteral("3")),
              QStringLiteral("[物品类别]只能是 0 文件, 1 包裹, 2 防水袋：3"));
    EXPECT_EQ(PreInputFieldGuide::CheckNumber(QStringLiteral("nmarked"), QStringLiteral("2")),
              QStringLiteral("[标记]只能是 0 或 1：2"));
    for (const char *last : {"npayway=2", "nitemtype=2", "nlanguage=2", "nmarked=1"}) {
        const QStringList pair = QString::fromLatin1(last).split(u'=');
        EXPECT_TRUE(PreInputFieldGuide::CheckNumber(pair[0], pair[1]).isEmpty()) << last;
    }
    EXPECT_EQ(PreInputFieldGuide::CheckNumber(QStringLiteral("npayway"), QStringLiteral("-1")),
              QStringLiteral("[付款]不能是负数：-1"));
}

TEST(PreInputFieldGuide, CountsAreWholeNumbersAndAmountsMayHaveCents)
{
    EXPECT_EQ(PreInputFieldGuide::CheckNumber(QStringLiteral("npieces"), QStringLiteral("2.5")),
              QStringLiteral("[件数]必须是整数：2.5"));
    // A count the page reads as a whole number only: "2.0" and "1e2" would be stored as 0.
    EXPECT_FALSE(PreInputFieldGuide::CheckNumber(QStringLiteral("npieces"), QStringLiteral("2.0")).isEmpty());
    EXPECT_FALSE(PreInputFieldGuide::CheckNumber(QStringLiteral("nitemtype"), QStringLiteral("1e0")).isEmpty());
    EXPECT_TRUE(PreInputFieldGuide::CheckNumber(QStringLiteral("npieces"), QStringLiteral(" 12 ")).isEmpty());
    EXPECT_TRUE(PreInputFieldGuide::CheckNumber(QStringLiteral("ffee"), QStringLiteral("2.5")).isEmpty());
    EXPECT_TRUE(PreInputFieldGuide::CheckNumber(QStringLiteral("fcod"), QStringLiteral("0.01")).isEmpty());
    EXPECT_TRUE(PreInputFieldGuide::CheckNumber(QStringLiteral("creceiver"), QStringLiteral("x")).isEmpty())
        << "texts are checked by the page";
}
