#include "scale/ScaleSettle.h"

#include <gtest/gtest.h>

using namespace quarvel;
using S = ScaleReading::Status;

namespace {

ScaleReading weight(qint64 grams, int step = 10, bool marked = false)
{
    return ScaleReading::Weight(grams, step, marked);
}

} // namespace

TEST(ScaleSettle, TheLastReadingsMustAgreeWithinOneStep)
{
    ScaleSettle settle;
    settle.Add(1200, 10);
    settle.Add(1210, 10);
    EXPECT_FALSE(settle.settled()) << "too few readings";
    settle.Add(1200, 10);
    EXPECT_TRUE(settle.settled());
    settle.Add(1230, 10);
    EXPECT_FALSE(settle.settled()) << "the parcel moved";
    settle.Add(1230, 10);
    settle.Add(1230, 10);
    EXPECT_TRUE(settle.settled());
    settle.Add(1230, 1);
    EXPECT_FALSE(settle.settled()) << "another step starts afresh";
    settle.Clear();
    EXPECT_EQ(settle.count(), 0);
}

TEST(ScaleSettle, OnlyWeightsTheScaleShowsAreTaken)
{
    ScaleSettle settle;
    EXPECT_EQ(settle.MarkText(), QStringLiteral("等待读数"));
    // An unmarked stream: taken once three readings agree.
    EXPECT_FALSE(settle.Take(weight(1250), false));
    EXPECT_EQ(settle.MarkText(), QStringLiteral("不稳定"));
    EXPECT_FALSE(settle.Take(weight(1250), false));
    EXPECT_TRUE(settle.Take(weight(1250), false));
    EXPECT_EQ(settle.MarkText(), QStringLiteral("稳定"));
    EXPECT_EQ(settle.MarkColour(), ScaleSettle::kSettledColor);

    // Unstable frames that repeat the same number never settle.
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(settle.Take(ScaleReading::Refused(S::Unstable, 1250, 10), false));
    EXPECT_EQ(settle.MarkText(), QStringLiteral("不稳定"));
    // After a refusal the agreeing starts again.
    EXPECT_FALSE(settle.Take(weight(1250), false));

    const struct {
        S status;
        const char *mark;
    } refusals[] = {{S::Negative, "负重"},    {S::Overload, "超载"},   {S::OutOfRange, "超出量程"},
                    {S::BadUnit, "单位不明"}, {S::BadCheck, "校验错"}, {S::Garbled, "数据错"}};
    for (const auto &r : refusals) {
        EXPECT_FALSE(settle.Take(ScaleReading::Refused(r.status), true)) << r.mark;
        EXPECT_EQ(settle.MarkText(), QString::fromUtf8(r.mark));
        EXPECT_EQ(settle.MarkColour(), ScaleSettle::kRefusedColor);
    }

    // A frame marked stable, and any weight of a scale that sends only
    // stable weights, is taken at once.
    EXPECT_TRUE(settle.Take(weight(1250, 1, true), false));
    settle.Clear();
    EXPECT_TRUE(settle.Take(weight(800), true));
}

TEST(ScaleSettle, TheStatusLineSaysWhereTheWeightCameFromOrWhyThereIsNone)
{
    EXPECT_EQ(ScaleSettle::StatusText(weight(1230), true, true),
              QStringLiteral("重量来自电子秤：1.230 公斤（已稳定）"));
    EXPECT_EQ(ScaleSettle::StatusText(weight(1230), true, false), QStringLiteral("重量来自电子秤：1.230 公斤"));
    EXPECT_EQ(ScaleSettle::StatusText(weight(1230), false, true),
              QStringLiteral("电子秤：不稳定（1.230 公斤），等重量稳定"));
    EXPECT_EQ(ScaleSettle::StatusText(ScaleReading::Refused(S::Negative, -125, 1), false, true),
              QStringLiteral("电子秤：负重（-0.125 公斤），重量未取"));
    EXPECT_EQ(ScaleSettle::StatusText(ScaleReading::Refused(S::Overload), false, true),
              QStringLiteral("电子秤：超载，重量未取"));
    EXPECT_EQ(ScaleSettle::StatusColour(ScaleReading::Refused(S::Unstable, 1, 1), false), ScaleSettle::kMovingColor);
    EXPECT_EQ(ScaleReading::Kilograms(1560000), QStringLiteral("1560.000"));
    EXPECT_EQ(ScaleReading::Kilograms(-5), QStringLiteral("-0.005"));
}
