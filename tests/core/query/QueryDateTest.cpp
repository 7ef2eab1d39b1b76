#include "query/QueryDate.h"

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

QString normalized(const char16_t *typed)
{
    return NormalizeDate(QString::fromUtf16(typed));
}

QString normalizedTime(const char16_t *typed)
{
    return NormalizeDateTime(QString::fromUtf16(typed));
}

} // namespace

TEST(NormalizeDate, EightDigitsAndSeparatedNumbers)
{
    EXPECT_EQ(normalized(u"20090230"), u"2009.02.28") << "February has 28 days in 2009";
    EXPECT_EQ(normalized(u"20080230"), u"2008.02.29");
    EXPECT_EQ(normalized(u"2009.3.5"), u"2009.03.05");
    EXPECT_EQ(normalized(u"2009-13-40"), u"2009.01.15") << "month out of range is 1, day out of range 15";
    EXPECT_EQ(normalized(u"2009/04/31"), u"2009.04.30");
    EXPECT_EQ(normalized(u"2100.02.29"), u"2100.02.28") << "a century is no leap year";
    EXPECT_EQ(normalized(u"2000.02.29"), u"2000.02.29") << "but every fourth century is";
    EXPECT_EQ(normalized(u"09.03.05 xx"), u"2009.03.05") << "a short year is of this century";
    EXPECT_EQ(normalized(u"２００９年３月５日"), u"2009.03.05") << "full-width digits";
    EXPECT_EQ(normalized(u"2009年03月"), u"2009.03.15") << "no day at all reads as 15";
}

TEST(NormalizeDate, WhatCannotBeADate)
{
    EXPECT_EQ(normalized(u"abc"), u"1900.01.01");
    EXPECT_EQ(normalized(u"2009.3."), u"1900.01.01") << "shorter than 8 characters";
    EXPECT_EQ(normalized(u"20091340"), u"1900.01.01") << "eight digits that are no date";
    EXPECT_EQ(normalized(u"18991231"), u"1900.01.01");
    EXPECT_EQ(normalized(u"3001.01.01"), u"1900.01.01");
    EXPECT_EQ(normalized(u"no digits here"), u"1900.01.01");
    EXPECT_EQ(normalized(u"99999999999999999999.1.1"), u"1900.01.01") << "a huge year";
}

TEST(NormalizeDateTime, EachPartFallsBackWithThoseAfterIt)
{
    EXPECT_EQ(normalizedTime(u"2009.2.3 4:5:6"), u"2009.02.03 04:05:06");
    EXPECT_EQ(normalizedTime(u"2009.02.01"), u"2009.02.01 00:00:00");
    EXPECT_EQ(normalizedTime(u"2009.02.30 10:11:12"), u"2009.02.28 10:11:12");
    EXPECT_EQ(normalizedTime(u"2009.13.01 10:00:00"), u"2009.01.01 00:00:00");
    EXPECT_EQ(normalizedTime(u"2009.02.32 10:00:00"), u"2009.02.01 00:00:00");
    EXPECT_EQ(normalizedTime(u"2009.02.01 24:30:30"), u"2009.02.01 00:00:00");
    EXPECT_EQ(normalizedTime(u"2009.02.01 10:60:30"), u"2009.02.01 10:00:00");
    EXPECT_EQ(normalizedTime(u"2009.02.01 10:20:60"), u"2009.02.01 10:20:00");
    EXPECT_EQ(normalizedTime(u"1999.12.31 23:59:59"), u"1900.01.01 00:00:00");
    EXPECT_EQ(normalizedTime(u"2009.1."), u"1900.01.01") << "shorter than 8";
    EXPECT_EQ(NormalizeDateTime(QString(32, u'1')), u"1900.01.01") << "longer than 31";
}

TEST(StepDateRange, CyclesTodayThisMonthLastMonth)
{
    const QDate today(2026, 3, 17);
    DateRange r = StepDateRange(QString(), QString(), today);
    EXPECT_EQ(r.from, u"2026.03.17");
    EXPECT_EQ(r.to, u"2026.03.17");
    r = StepDateRange(r.from, r.to, today);
    EXPECT_EQ(r.from, u"2026.03.01");
    EXPECT_EQ(r.to, u"2026.03.17");
    r = StepDateRange(r.from, r.to, today);
    EXPECT_EQ(r.from, u"2026.02.01");
    EXPECT_EQ(r.to, u"2026.02.28");
    r = StepDateRange(r.from, r.to, today);
    EXPECT_EQ(r.from, u"2026.03.17") << "back to today";
    EXPECT_EQ(r.to, u"2026.03.17");
}

TEST(StepDateRange, MonthEdges)
{
    // January steps back into December of the previous year.
    DateRange r = StepDateRange(QStringLiteral("2026.01.05"), QStringLiteral("2026.01.09"), QDate(2026, 1, 9));
    EXPECT_EQ(r.from, u"2025.12.01");
    EXPECT_EQ(r.to, u"2025.12.31");
    // On the first of a month "this month so far" is today, so the step goes to last month.
    r = StepDateRange(QStringLiteral("2024.03.01"), QStringLiteral("2024.03.01"), QDate(2024, 3, 1));
    EXPECT_EQ(r.from, u"2024.02.01");
    EXPECT_EQ(r.to, u"2024.02.29");
    r = StepDateRange(QStringLiteral("garbage"), QStringLiteral("x"), QDate(2024, 3, 1));
    EXPECT_EQ(r.from, u"2024.03.01");
}

TEST(CheckDateRange, MessagesAreCollectedAndTheFutureIsToday)
{
    const QDate today(2026, 3, 17);
    QString to = QStringLiteral("2026.04.01");
    DateCheck c = CheckDateRange(QStringLiteral("2026.03.10"), to, today);
    EXPECT_TRUE(c.messages.isEmpty());
    EXPECT_EQ(to, u"2026.03.17") << "the box shows today";
    EXPECT_EQ(c.startText, u"2026.03.10 0:0:0.0");
    EXPECT_EQ(c.endText, u"2026.03.17 23:59:59.998");

    to = QStringLiteral("bad");
    c = CheckDateRange(QStringLiteral("abc"), to, today);
    EXPECT_EQ(c.messages, u"起始日期不对\r\n结束日期不对\r\n");

    to = QStringLiteral("2026.03.01");
    c = CheckDateRange(QStringLiteral("2026.03.02"), to, today);
    EXPECT_EQ(c.messages, u"结束日期早于起始日期");

    // A future start against today's end: the end is moved first, then compared.
    to = QStringLiteral("2026.12.31");
    c = CheckDateRange(QStringLiteral("2026.06.01"), to, today);
    EXPECT_EQ(c.messages, u"结束日期早于起始日期");
}
