#include "app/ScriptedPrompter.h"
#include "net/BaseData.h"
#include "query/FeeQueryForm.h"
#include "query/RecordQueryForm.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

const QDateTime kNow(QDate(2026, 3, 17), QTime(15, 30, 0));

RecordQueryForm::Clock fixedClock()
{
    return [] { return kNow; };
}

BaseData kinds()
{
    BaseData base;
    base.parse("xN\nEMB\nTK\t" + Gbk::fromUnicode(QStringLiteral("特快专递")) + "\nJJ\t" +
               Gbk::fromUnicode(QStringLiteral("经济快递")) + "\n\nEME\n\a");
    return base;
}

const QString kHead = QStringLiteral(" FROM tarvo.dbo.client_rec WHERE icid=101 AND ddate BETWEEN "
                                     "'2026.03.10 0:0:0.0' AND '2026.03.17 23:59:59.998'");

// The condition after a confirmation that must pass.
QString condition(RecordQueryForm &form, const BaseData &base = BaseData())
{
    ScriptedPrompter prompter;
    EXPECT_TRUE(form.Confirm(prompter)) << prompter.lastText().toStdString();
    return form.Condition(101, base);
}

} // namespace

TEST(RecordQueryForm, StartsWithTheLastWeekAndEverythingTicked)
{
    RecordQueryForm form(fixedClock());
    EXPECT_EQ(form.values().from, u"2026.03.10");
    EXPECT_EQ(form.values().to, u"2026.03.17");
    EXPECT_EQ(form.values().state, RecordQueryForm::AllStates);
    EXPECT_EQ(condition(form), kHead) << "all boxes and all states select nothing more";
}

TEST(RecordQueryForm, CheckBoxGroupsPaymentStatesAndPieces)
{
    RecordQueryForm form(fixedClock());
    RecordQueryForm::Values &v = form.values();
    v.itemTypes = {true, false, true};
    v.payWays = {false, true, false};
    v.regions = {false, false, false};
    v.payStates = {true, false};
    v.pieces = -1;
    EXPECT_EQ(condition(form),
              kHead + QString::fromUtf16(u" AND nitemtype IN(0,2) AND npayway=1 AND ifid=0 AND iitem<>1"));

    v.itemTypes = {false, true, true};
    v.payWays = {true, true, false};
    v.regions = {false, true, false};
    v.payStates = {false, true};
    v.pieces = 3;
    EXPECT_EQ(condition(form),
              kHead + QString::fromUtf16(
                          u" AND nitemtype IN(1,2) AND npayway IN(0,1) AND nlanguage=1 AND ifid>0 AND iitem=3"));
}

TEST(RecordQueryForm, StateChoices)
{
    RecordQueryForm form(fixedClock());
    const std::pair<int, const char16_t *> cases[] = {
        {0, u" AND nstate=0"},  {3, u" AND nstate=3"},  {10, u" AND nstate=10"}, {11, u""},
        {12, u" AND nstate>0"}, {13, u" AND nstate<3"}, {14, u" AND nstate>3"},
    };
    for (const auto &[state, tail] : cases) {
        form.values().state = state;
        EXPECT_EQ(condition(form), kHead + QString::fromUtf16(tail)) << state;
    }
    EXPECT_EQ(RecordQueryForm::StateChoices().at(14), u"所有异常件");
}

TEST(RecordQueryForm, TextsInTheirOrderWithQuotesDoubled)
{
    const BaseData base = kinds();
    RecordQueryForm form(fixedClock());
    RecordQueryForm::Values &v = form.values();
    v.department = QStringLiteral("销售部");
    v.destination = QStringLiteral(" 北京 ");
    v.label = QStringLiteral("加'急");
    v.kind = QStringLiteral("特快专递");
    v.waybill = QStringLiteral("D101");
    v.settlement = QStringLiteral("PP");
    v.receiver = QStringLiteral("  O'Neil ");
    v.phone = QStringLiteral("138");
    v.sender = QStringLiteral("张三");
    EXPECT_EQ(condition(form, base),
              kHead + QString::fromUtf16(
                          u" AND cdepart='销售部' AND cdes='北京' AND cmark LIKE '%加''急%' AND cemskind='TK'"
                          u" AND cnum LIKE '%D101%' AND cpaydir='PP' AND creceiver='O''Neil' AND cphone LIKE '%138%'"
                          u" AND csender='张三'"));

    const QString waybill = v.waybill;
    form.Reset();
    v.waybill = waybill;
    v.kind = QStringLiteral("不存在的类别");
    v.receiver = QStringLiteral("   ");
    EXPECT_EQ(condition(form, base), kHead + QString::fromUtf16(u" AND cnum LIKE '%D101%'"))
        << "an unknown kind and a text of blanks add nothing";
}

TEST(RecordQueryForm, WeightAndFreightRangesSelectToo)
{
    RecordQueryForm form(fixedClock());
    RecordQueryForm::Values &v = form.values();
    v.weightFrom = 1.5;
    v.weightTo = 0.5; // below from: only the lower bound
    v.feeTo = 100;
    EXPECT_EQ(condition(form), kHead + QString::fromUtf16(u" AND fweight>=1.500 AND ffee<=100.00"));
}

TEST(RecordQueryForm, DateModesChangeCaptionColourColumnAndDates)
{
    RecordQueryForm form(fixedClock());
    form.NextDateMode();
    EXPECT_EQ(form.values().dateMode, RecordQueryForm::EntryTime);
    EXPECT_EQ(RecordQueryForm::DateModeCaption(1), u"▼日期为录单日期时间");
    EXPECT_EQ(RecordQueryForm::DateModeColor(1), 0x000080u);
    EXPECT_EQ(form.values().from, u"2026.03.17 13:30:00");
    EXPECT_EQ(form.values().to, u"2026.03.17 15:30:00");
    form.values().to = QStringLiteral("2026.03.17 25:00");
    EXPECT_EQ(condition(form), u" FROM tarvo.dbo.client_rec WHERE icid=101 AND dsysdate BETWEEN "
                               u"'2026.03.17 13:30:00' AND '2026.03.17 00:00:00'")
        << "times pass unchecked, only normalised";

    form.NextDateMode();
    EXPECT_EQ(RecordQueryForm::DateColumn(form.values().dateMode), u"dsenddate");
    EXPECT_EQ(RecordQueryForm::DateModeColor(2), 0x800000u);
    form.NextDateMode();
    EXPECT_EQ(form.values().dateMode, RecordQueryForm::BusinessDate);
    EXPECT_EQ(RecordQueryForm::DateModeCaption(0), u"▼日期为业务日期");
    EXPECT_EQ(RecordQueryForm::DateModeColor(0), 0x008000u);
    // Back in mode 0 the date caption's step applies to the times left in the boxes (both of today).
    EXPECT_EQ(form.values().from, u"2026.03.01");
    EXPECT_EQ(form.values().to, u"2026.03.17");
}

TEST(RecordQueryForm, ResetKeepsTheDates)
{
    RecordQueryForm form(fixedClock());
    RecordQueryForm::Values &v = form.values();
    v.from = QStringLiteral("2026.03.01");
    v.itemTypes = {false, false, true};
    v.state = 4;
    v.receiver = QStringLiteral("x");
    v.pieces = 7;
    v.weightTo = 3;
    form.Reset();
    EXPECT_EQ(v.from, u"2026.03.01");
    EXPECT_EQ(v.to, u"2026.03.17");
    EXPECT_EQ(v.itemTypes, (std::array<bool, 3>{true, true, true}));
    EXPECT_EQ(v.state, RecordQueryForm::AllStates);
    EXPECT_TRUE(v.receiver.isEmpty());
    EXPECT_EQ(v.pieces, 0);
    EXPECT_EQ(v.weightTo, 0);
}

TEST(RecordQueryForm, BadDatesAndTextsKeepTheDialogOpen)
{
    RecordQueryForm form(fixedClock());
    ScriptedPrompter prompter;
    form.values().from = QStringLiteral("abc");
    form.values().to = QStringLiteral("xyz");
    EXPECT_FALSE(form.Confirm(prompter));
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first().title, u"日期错误提示：");
    EXPECT_EQ(prompter.lastText(), u"起始日期不对\r\n结束日期不对\r\n");

    prompter.clear();
    form.values().from = QStringLiteral("2026.03.01");
    form.values().to = QStringLiteral("2027.01.01");
    form.values().receiver = QStringLiteral("王\U0001F600");
    EXPECT_FALSE(form.Confirm(prompter));
    EXPECT_EQ(form.values().to, u"2026.03.17") << "a future end became today";
    EXPECT_EQ(prompter.lastText(), u"[收件人]含有不能保存的字符“\U0001F600”，请改用其他文字。");
}

TEST(FeeQueryForm, ConditionOfTheSettlementList)
{
    FeeQueryForm form(fixedClock());
    EXPECT_EQ(form.values().from, u"2026.02.15");
    ScriptedPrompter prompter;
    ASSERT_TRUE(form.Confirm(prompter));
    const QString head = QStringLiteral(" FROM tarvo.dbo.client_fee WHERE icid=7 AND dpdate BETWEEN "
                                        "'2026.02.15 0:0:0.0' AND '2026.03.17 23:59:59.998'");
    EXPECT_EQ(form.Condition(7), head);

    FeeQueryForm::Values &v = form.values();
    v.types = {false, true};
    v.amountFrom = 0;
    v.amountTo = 100;
    v.operatorName = QStringLiteral("王'会计");
    v.invoice = QStringLiteral(" FP01 ");
    ASSERT_TRUE(form.Confirm(prompter));
    EXPECT_EQ(
        form.Condition(7),
        head + QString::fromUtf16(u" AND ntype=1 AND ffee<=100.00 AND cmname='王''会计' AND cinvoice LIKE '%FP01%'"));

    v.types = {true, false};
    v.amountFrom = 200;
    v.amountTo = 100;
    EXPECT_EQ(form.Condition(7).mid(head.size()), u" AND ntype=0 AND ffee>=200.00 AND cmname='王''会计' AND "
                                                  u"cinvoice LIKE '%FP01%'");
    form.Reset();
    EXPECT_EQ(v.types, (std::array<bool, 2>{true, true}));
    EXPECT_TRUE(v.operatorName.isEmpty() && v.invoice.isEmpty());
    EXPECT_EQ(v.amountFrom, 0);
    EXPECT_EQ(v.from, u"2026.02.15");

    form.StepDates();
    EXPECT_EQ(v.from, u"2026.03.17") << "the step starts again at today";
    v.to = QStringLiteral("2026.03.01");
    prompter.clear();
    EXPECT_FALSE(form.Confirm(prompter));
    EXPECT_EQ(prompter.lastText(), u"结束日期早于起始日期");
}
