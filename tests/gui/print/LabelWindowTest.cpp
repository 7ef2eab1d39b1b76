#include "excel/PrintDestination.h"
#include "preinput/CPreInputPane.h"
#include "shell/PageCatalog.h"
#include "support/ClientWindow.h"
#include "text/Gbk.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

void addRecords(ClientWindow &w, int count)
{
    for (int i = 1; i <= count; ++i) {
        PreInputRecord r{};
        r.ddate = {2024, 3, 5};
        r.npieces = 1;
        Gbk::setField(r.cnum, QStringLiteral("DE901230%1").arg(i, 5, 10, QLatin1Char('0')));
        Gbk::setField(r.creceiver, QStringLiteral("李四"));
        w.context().preInputs().Append(&r);
    }
}

QStringList printed(ClientWindow &w)
{
    return QDir(w.root.file(QStringLiteral("printed"))).entryList(QDir::Files, QDir::Name);
}

} // namespace

TEST(LabelCommandWindow, SelectedRecordsPrintOnSheetsAfterTheQuestionWithThePageBusy)
{
    ClientWindow::Options o;
    o.server = false;
    ClientWindow w(o);
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(PrintDestination::Folder(w.root.file(QStringLiteral("printed"))).Save(w.root.path()));
    addRecords(w, 12);
    auto *pane = w.showPage<CPreInputPane>(PageCatalog::PreInput);
    pane->RefreshList();
    ASSERT_TRUE(w.action(CmdPrintLabels)->isEnabled());

    pane->SelectAll();
    w.prompter.queueAnswer(false);
    w.action(CmdPrintLabels)->trigger();
    EXPECT_EQ(w.prompter.lastText(), QStringLiteral("共选中 12 条记录，\r\n共需要打印 2 页\r\n─────────────────\r\n"
                                                    "要打印[默认标签]快件标签吗? \r\n请确认！"));
    EXPECT_FALSE(pane->printBusy());
    EXPECT_TRUE(printed(w).isEmpty()) << "No prints nothing";

    w.prompter.queueAnswer(true);
    QStringList progress;
    QObject::connect(pane, &CPreInputPane::documentPrinted, [&] { progress << w.frame().operationText(); });
    w.action(CmdPrintLabels)->trigger();
    EXPECT_TRUE(pane->printBusy());
    w.action(CmdPrintLabels)->trigger();
    w.action(CmdPrintWaybills)->trigger();
    EXPECT_EQ(w.prompter.shown().size(), 2) << "no other print command starts during the run";
    ASSERT_TRUE(ClientWindow::waitFor([&] { return !pane->printBusy(); }, 60000));
    EXPECT_EQ(progress,
              (QStringList{QStringLiteral("当前操作：打印标签 1/2..."), QStringLiteral("当前操作：打印标签 2/2...")}));
    EXPECT_TRUE(w.frame().operationText().isEmpty());
    EXPECT_EQ(printed(w), (QStringList{QStringLiteral("标签_DE90123000001-DE90123000010.pdf"),
                                       QStringLiteral("标签_DE90123000011-DE90123000012.pdf")}));
    EXPECT_EQ(w.prompter.shown().size(), 2) << "a run without failures ends without a message";
}

TEST(LabelCommandWindow, WithoutALabelTemplateTheCommandSaysSo)
{
    ClientWindow::Options o;
    o.server = false;
    o.prepare = [](TempRoot &root) {
        root.write(QStringLiteral("DATA_MODEL/LBL_默认标签.txt"), "x");
        root.write(QStringLiteral("DATA_MODEL/LBL_默认标签.xls"), "not a workbook");
    };
    ClientWindow w(o);
    ASSERT_TRUE(w.started());
    addRecords(w, 1);
    auto *pane = w.showPage<CPreInputPane>(PageCatalog::PreInput);
    pane->RefreshList();
    pane->SelectAll();
    w.action(CmdPrintLabels)->trigger();
    EXPECT_EQ(w.prompter.lastText(), QStringLiteral("没有选择可用的标签模版。"));
    EXPECT_FALSE(pane->printBusy());
}

TEST(LabelCommandWindow, NothingSelectedIsSaidAsForWaybills)
{
    ClientWindow::Options o;
    o.server = false;
    ClientWindow w(o);
    ASSERT_TRUE(w.started());
    addRecords(w, 2);
    auto *pane = w.showPage<CPreInputPane>(PageCatalog::PreInput);
    pane->RefreshList();
    w.action(CmdPrintLabels)->trigger();
    EXPECT_EQ(w.prompter.lastText(), QStringLiteral("没有在列表中选中要打印面单的记录。"));
    EXPECT_FALSE(pane->printBusy());
}

TEST(LabelCommandWindow, ARecordDeletedWhileTheSheetsPrintGetsNoLabelAndIsNamedAtTheEnd)
{
    ClientWindow::Options o;
    o.server = false;
    ClientWindow w(o);
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(PrintDestination::Folder(w.root.file(QStringLiteral("printed"))).Save(w.root.path()));
    addRecords(w, 12);
    auto *pane = w.showPage<CPreInputPane>(PageCatalog::PreInput);
    pane->RefreshList();
    pane->SelectAll();
    // While the first sheet prints, the eleventh record goes (as an upload that was accepted would take it).
    QObject::connect(pane, &CPreInputPane::documentPrinted, [&] {
        if (const PreInputRecord *r = w.context().preInputs().FindLastByNumber(QStringLiteral("DE90123000011")))
            w.context().preInputs().DeleteById(r->iid);
    });
    w.prompter.queueAnswer(true);
    w.action(CmdPrintLabels)->trigger();
    ASSERT_TRUE(ClientWindow::waitFor([&] { return !pane->printBusy(); }, 60000));
    EXPECT_EQ(printed(w), (QStringList{QStringLiteral("标签_DE90123000001-DE90123000010.pdf"),
                                       QStringLiteral("标签_DE90123000012.pdf")}))
        << "the second sheet still prints, with the record that is left";
    EXPECT_EQ(w.prompter.lastText(), QStringLiteral("以下 1 份没有完成：\r\nDE90123000011: 记录已删除，没有打印。"));
}
