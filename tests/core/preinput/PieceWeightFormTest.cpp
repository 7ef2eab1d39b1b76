#include "preinput/PieceWeightForm.h"
#include "app/ScriptedPrompter.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

void enter(PieceWeightForm &form, const char *kg, int l, int w, int h, int share = 100, int copies = 1)
{
    form.entry.weight = QString::fromLatin1(kg);
    form.entry.length = l;
    form.entry.width = w;
    form.entry.height = h;
    form.entry.share = share;
    form.entry.copies = copies;
}

} // namespace

TEST(PieceWeightForm, ChargeableWeightsTotalsAndDivisorText)
{
    ScriptedPrompter prompter;
    std::vector<WeightRecord> lines;
    PieceWeightForm form(lines, 3, false, prompter);
    form.Refill();
    EXPECT_EQ(form.titleText(), QStringLiteral("第 1 件/共 3 件"));
    EXPECT_EQ(form.titleColor(), PieceWeightForm::kGreen);
    EXPECT_EQ(form.divisorText(), QStringLiteral("÷6000"));

    enter(form, "3", 40, 30, 20, 100);
    EXPECT_EQ(form.volumeText(), QStringLiteral("体积重:4.000公斤"));
    ASSERT_EQ(form.Confirm(), PieceWeightForm::Outcome::Stored);
    enter(form, "3", 40, 30, 20, 50);
    ASSERT_EQ(form.Confirm(), PieceWeightForm::Outcome::Stored);
    enter(form, "3", 40, 30, 20, 0);
    ASSERT_EQ(form.Confirm(), PieceWeightForm::Outcome::Stored);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(form.rowCells(0).at(1), QStringLiteral("4.000"));
    EXPECT_EQ(form.rowCells(1).at(1), QStringLiteral("3.500"));
    EXPECT_EQ(form.rowCells(2).at(1), QStringLiteral("3.000"));
    EXPECT_EQ(form.rowCells(2).at(2), QStringLiteral("3.000"));
    EXPECT_EQ(form.totalText(), QStringLiteral("累计重量：10.500公斤"));
    EXPECT_EQ(PieceWeightForm::TotalGrams(lines, false), 10500);
    // All pieces there: the entry cycles to the first line, shown dark red.
    EXPECT_EQ(form.currentIndex(), 0);
    EXPECT_FALSE(form.newLine());
    EXPECT_EQ(form.titleColor(), PieceWeightForm::kDarkRed);
    EXPECT_EQ(form.entry.weight, QStringLiteral("3.000"));

    std::vector<WeightRecord> same = lines;
    PieceWeightForm modeD(same, 3, true, prompter);
    EXPECT_EQ(modeD.divisorText(), QStringLiteral("÷5000"));
    EXPECT_EQ(modeD.divisorColor(), PieceWeightForm::kOlive);
    EXPECT_EQ(PieceWeightForm::TotalGrams(same, true), 4800 + 3900 + 3000);

    // 10 × 10 × 10 at 2000 g: 166 g by volume, charged by weight at any share.
    WeightRecord small{};
    small.nlength = small.nwidth = small.nheight = 10;
    small.nweight = 2000;
    small.nvolpercent = 100;
    EXPECT_EQ(ChargeableGrams(small, false), 2000);
}

TEST(PieceWeightForm, CopiesFillOnlyTheMissingPiecesAndTheEntryMovesOn)
{
    ScriptedPrompter prompter;
    std::vector<WeightRecord> lines;
    PieceWeightForm form(lines, 5, false, prompter);
    form.Refill();
    enter(form, "1", 0, 0, 0);
    ASSERT_EQ(form.Confirm(), PieceWeightForm::Outcome::Stored);
    enter(form, "2", 0, 0, 0);
    ASSERT_EQ(form.Confirm(), PieceWeightForm::Outcome::Stored);
    EXPECT_EQ(form.titleText(), QStringLiteral("第 3 件/共 5 件"));
    enter(form, "0.5", 10, 10, 10, 100, 10);
    ASSERT_EQ(form.Confirm(), PieceWeightForm::Outcome::Stored);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(+lines[4].nweight, 500);
    EXPECT_EQ(form.currentIndex(), 3);
    EXPECT_EQ(form.titleText(), QStringLiteral("第 4 件/共 5 件"));
    EXPECT_TRUE(form.changed());

    // An unchanged existing piece changes nothing and does not move on.
    std::vector<WeightRecord> kept = lines;
    PieceWeightForm again(kept, 5, false, prompter);
    again.Refill();
    EXPECT_EQ(again.currentIndex(), 0);
    EXPECT_EQ(again.Confirm(), PieceWeightForm::Outcome::Unchanged);
    EXPECT_FALSE(again.changed());
    EXPECT_EQ(again.currentIndex(), 0);
    again.Select(1);
    EXPECT_EQ(again.entry.weight, QStringLiteral("2.000"));
    again.entry.weight = QStringLiteral("2.5");
    EXPECT_EQ(again.Confirm(), PieceWeightForm::Outcome::Stored);
    EXPECT_EQ(+kept[1].nweight, 2500);
    EXPECT_EQ(again.currentIndex(), 2);

    // N lowered below the lines: all stay, the entry cycles over the first N.
    PieceWeightForm fewer(kept, 2, false, prompter);
    fewer.Refill();
    EXPECT_EQ(fewer.currentIndex(), 0);
    fewer.Refill();
    EXPECT_EQ(fewer.currentIndex(), 1);
    fewer.Refill();
    EXPECT_EQ(fewer.currentIndex(), 0);
    EXPECT_EQ(kept.size(), 5u);

    // Zero pieces on the page count as one.
    std::vector<WeightRecord> none;
    PieceWeightForm zero(none, 0, false, prompter);
    EXPECT_EQ(zero.pieceCount(), 1);
}

TEST(PieceWeightForm, NamesAreCheckedAndNothingIsStoredWithoutWeightOrVolume)
{
    ScriptedPrompter prompter;
    std::vector<WeightRecord> lines;
    PieceWeightForm form(lines, 2, false, prompter);
    form.Refill();
    enter(form, "", 0, 0, 0);
    EXPECT_EQ(form.Confirm(), PieceWeightForm::Outcome::NoWeight);
    EXPECT_TRUE(lines.empty());
    EXPECT_FALSE(form.changed());

    enter(form, "1.2", 0, 0, 0);
    form.entry.name = QString(32, QChar(0x4E2D)); // 64 bytes
    EXPECT_EQ(form.Confirm(), PieceWeightForm::Outcome::Refused);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("[物品名称]长度不得超过 62 字符。"));
    EXPECT_TRUE(lines.empty());

    form.entry.name = QStringLiteral("O'Neil's tea");
    form.entry.quantity = 3;
    form.entry.price = 12.34;
    ASSERT_EQ(form.Confirm(), PieceWeightForm::Outcome::Stored);
    EXPECT_EQ(Gbk::field(lines[0].cname), QStringLiteral("O`Neil`s tea"));
    EXPECT_EQ(+lines[0].iprice, 1234);
    EXPECT_EQ(+lines[0].nquantity, 3);
    EXPECT_EQ(+lines[0].nweight, 1200);

    // "重  输" keeps the share.
    form.entry.share = 40;
    form.entry.name = QStringLiteral("x");
    form.ClearEntry();
    EXPECT_EQ(form.entry.share, 40);
    EXPECT_EQ(form.entry.weight, QString());
    EXPECT_EQ(form.entry.name, QString());
    EXPECT_DOUBLE_EQ(form.entry.price, 1.0);
    EXPECT_EQ(PieceWeightForm::headers().size(), 10);
}
