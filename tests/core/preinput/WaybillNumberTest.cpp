#include "preinput/WaybillNumber.h"

#include <gtest/gtest.h>

using namespace quarvel;

TEST(WaybillNumber, DayCodesAndNumbers)
{
    EXPECT_EQ(DateCode(QDate(2009, 3, 5)), QStringLiteral("DE9"));
    EXPECT_EQ(DateCode(QDate(2008, 12, 31)), QStringLiteral("YG8"));
    EXPECT_EQ(DateCode(QDate(2026, 1, 1)), QStringLiteral("AB6"));
    EXPECT_EQ(DateCode(QDate(2026, 12, 7)), QStringLiteral("XB6")) << "day 341: letters 17 and 1";
    EXPECT_EQ(MakeWaybillNumber(QDate(2009, 3, 5), 123, 0, 42), QStringLiteral("DE90123000042"));
    EXPECT_EQ(MakeWaybillNumber(QDate(2009, 3, 5), 123, 0, 0), QStringLiteral("DE901230XXXXX"))
        << "the program number stays; only the customer part is a placeholder";
    EXPECT_EQ(MakeWaybillNumber(QDate(2009, 3, 5), 10001, 3, 42), QStringLiteral("DE90001300042"));
}
