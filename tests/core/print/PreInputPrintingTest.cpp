#include "print/PreInputPrinting.h"
#include "PrintContextFixture.h"

using namespace quarvel;

namespace {

struct Printing : PrintContextFixture {
    PreInputPrinting printing{context, prompter};
};

} // namespace

TEST_F(Printing, StartUpInstallsAndLoadsTheDefaultTemplates)
{
    for (const char *file : {"DATA_MODEL/TAB_默认面单.xls", "DATA_MODEL/TAB_默认面单.txt",
                             "DATA_MODEL/IVC_默认形式发票.xls", "DATA_MODEL/LBL_默认标签.txt", "DATA_SYS/tarvo7_0.dat"})
        EXPECT_TRUE(QFileInfo::exists(root.file(QString::fromUtf8(file)))) << file;
    for (const TemplateKind kind : TemplateKinds::kAll)
        EXPECT_TRUE(context.templates().slot(kind)) << int(kind);
    EXPECT_TRUE(context.templates().invoiceLayout().valid());
    EXPECT_EQ(context.templates().invoiceLayout().descriptionMode(), InvoiceLayout::IntoForeign);
    EXPECT_GE(context.goodsNames().count(), 300);
    const PrintTemplate *label = context.templates().slot(TemplateKind::Label);
    int column = 0;
    int row = 0;
    EXPECT_TRUE(label->FindListCell(printtest::gbk("内单号39码"), column, row));
    EXPECT_EQ(label->GetNumber(printtest::gbk("横向标签个数")), 2);
    EXPECT_EQ(label->GetNumber(printtest::gbk("纵向标签个数")), 5);
}

TEST_F(Printing, StartUpNeverReplacesATemplateTheOperatorChanged)
{
    const QString mine = root.file(QStringLiteral("DATA_MODEL/TAB_默认面单.txt"));
    root.write(QStringLiteral("DATA_MODEL/TAB_默认面单.txt"), "mine");
    ClientContext again(root.path());
    ASSERT_TRUE(again.Start(prompter, RecordFile::Mode::ReadOnly));
    EXPECT_EQ(root.read(QStringLiteral("DATA_MODEL/TAB_默认面单.txt")), QByteArray("mine"));
}

TEST_F(Printing, OneWaybillPrintsAtOnceSeveralAfterAQuestion)
{
    EXPECT_EQ(printing.PlanWaybills({{3, QStringLiteral("DE90123000042")}}).ids, QList<int>{3});
    EXPECT_TRUE(prompter.shown().isEmpty());

    prompter.queueAnswer(false);
    EXPECT_TRUE(printing.PlanWaybills({{3, QStringLiteral("DE90123000042")}, {4, QStringLiteral("DE90123000043")}})
                    .ids.isEmpty());
    EXPECT_EQ(prompter.shown().last().title, QStringLiteral("确认提示"));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("共选中 2 条记录，\r\n要批量打印[默认面单]面单吗? \r\n请确认！"));
    prompter.queueAnswer(true);
    const PreInputPrinting::Plan plan =
        printing.PlanWaybills({{3, QStringLiteral("DE90123000042")}, {4, QStringLiteral("DE90123000043")}});
    EXPECT_EQ(plan.ids, (QList<int>{3, 4}));
    EXPECT_TRUE(plan.batch);
}

TEST_F(Printing, ProvisionalNumbersAndEmptySelectionsPrintNothing)
{
    EXPECT_TRUE(printing.PlanWaybills({{3, QStringLiteral("DE90123XXXXX")}}).ids.isEmpty());
    EXPECT_EQ(prompter.lastText(),
              QStringLiteral("选择打印的含有未整理的运单号。\r\n请登入系统,整理运单号后,再选择打印。"));
    EXPECT_TRUE(printing.PlanWaybills({{3, QStringLiteral("DE90123")}}).ids.isEmpty()) << "seven characters";
    EXPECT_TRUE(printing.PlanWaybills({}).ids.isEmpty());
    EXPECT_EQ(prompter.lastText(), QStringLiteral("没有在列表中选中要打印面单的记录。"));
}

TEST_F(Printing, ServerWaybillsNeedASelectionAndAskBeforeABatch)
{
    EXPECT_TRUE(printing.PlanServerWaybills({}, 0).ids.isEmpty());
    EXPECT_TRUE(prompter.shown().isEmpty()) << "an empty list says nothing";
    EXPECT_TRUE(printing.PlanServerWaybills({}, 40).ids.isEmpty());
    EXPECT_EQ(prompter.lastText(), QStringLiteral("没有在列表中选中要打印面单的记录。"));
    prompter.clear();
    const PreInputPrinting::Plan one = printing.PlanServerWaybills({9001}, 40);
    EXPECT_EQ(one.ids, QList<int>{9001});
    EXPECT_FALSE(one.batch);
    EXPECT_TRUE(prompter.shown().isEmpty()) << "one record prints without a question";

    prompter.queueAnswer(false);
    EXPECT_TRUE(printing.PlanServerWaybills({9001, 9002, 9003}, 40).ids.isEmpty());
    EXPECT_EQ(prompter.shown().last().title, QStringLiteral("确认提示"));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("共选中 3 条记录，\r\n要批量打印[默认面单]面单吗? \r\n请确认！"));
    prompter.queueAnswer(true);
    const PreInputPrinting::Plan batch = printing.PlanServerWaybills({9001, 9002}, 40);
    EXPECT_EQ(batch.ids, (QList<int>{9001, 9002}));
    EXPECT_TRUE(batch.batch);
}

TEST_F(Printing, InvoicesAskWithTheirVerb)
{
    EXPECT_TRUE(printing.PlanInvoices({}, InvoiceSheet::Mode::Print).ids.isEmpty());
    EXPECT_EQ(prompter.lastText(), QStringLiteral("没有在列表中选中要打印形式发票的记录。"));
    EXPECT_EQ(printing.PlanInvoices({5}, InvoiceSheet::Mode::KeepFile).ids, QList<int>{5});
    prompter.queueAnswer(true);
    EXPECT_TRUE(printing.PlanInvoices({5, 6, 7}, InvoiceSheet::Mode::KeepFile).batch);
    EXPECT_EQ(prompter.lastText(),
              QStringLiteral("共选中 3 条记录，\r\n─────────────────\r\n要保存形式发票[默认形式发票]吗? "
                             "\r\n请确认！"));
    prompter.queueAnswer(false);
    EXPECT_TRUE(printing.PlanInvoices({5, 6}, InvoiceSheet::Mode::Print).ids.isEmpty());
    EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("要打印形式发票[默认形式发票]吗")));
    EXPECT_EQ(PreInputPrinting::SavedInvoicesText(3, QStringLiteral("/r/DATA_TEMP")),
              QStringLiteral("共处理 3 条记录，\r\n─────────────────\r\n保存形式发票位置: \r\n/r/DATA_TEMP/"));
}

TEST_F(Printing, MissingTemplatesAreSaid)
{
    root.write(QStringLiteral("DATA_MODEL/TAB_默认面单.xls"), "not a workbook");
    root.write(QStringLiteral("DATA_MODEL/IVC_默认形式发票.txt"), QByteArray());
    ClientContext broken(root.path());
    ASSERT_TRUE(broken.Start(prompter, RecordFile::Mode::ReadOnly));
    EXPECT_FALSE(broken.templates().slot(TemplateKind::Waybill));
    PreInputPrinting p(broken, prompter);
    EXPECT_TRUE(p.PlanWaybills({{3, QStringLiteral("DE90123000042")}}).ids.isEmpty());
    EXPECT_EQ(prompter.lastText(), QStringLiteral("没有选择可用的面单模版。"));
    prompter.clear();
    EXPECT_TRUE(p.PlanServerWaybills({}, 0).ids.isEmpty());
    EXPECT_EQ(prompter.lastText(), QStringLiteral("没有选择可用的面单模版。")) << "said even before the list has rows";
    EXPECT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(p.PlanInvoices({3}, InvoiceSheet::Mode::Print).ids.isEmpty());
    EXPECT_EQ(prompter.lastText(), QStringLiteral("没有选择可用的形式发票模版。"))
        << "an empty definition is no layout";
}
