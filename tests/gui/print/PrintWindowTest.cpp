#include "app/ShippedData.h"
#include "excel/PrintDestination.h"
#include "preinput/CGoodsDlg.h"
#include "preinput/CLinkLabel.h"
#include "preinput/CPreInputPage.h"
#include "preinput/CPreInputPane.h"
#include "preinput/CSuggestionList.h"
#include "print/CPrintHistoryDlg.h"
#include "print/CPrintPreviewDlg.h"
#include "print/CTemplateChooseDlg.h"
#include "print/PrintPreview.h"
#include "shell/OperationPane.h"
#include "shell/PageCatalog.h"
#include "support/ClientWindow.h"
#include "support/KillingEngine.h"
#include "text/Gbk.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

// The office some of these tests print with ends with the test program.
class OfficeEnd : public ::testing::Environment {
public:
    void TearDown() override { OfficeEngine::shutdownProcessEngine(); }
};
[[maybe_unused]] const ::testing::Environment *const officeEnd = ::testing::AddGlobalTestEnvironment(new OfficeEnd);

ClientWindow::Options offline(const std::function<void(TempRoot &)> &prepare = {})
{
    ClientWindow::Options o;
    o.server = false;
    // Shown, so that the suggestion lists can show too.
    o.show = true;
    o.prepare = prepare;
    return o;
}

// Answers the preview and keeps what it was shown.
class AcceptingPreview : public PrintPreview {
public:
    bool Confirm(const QString &pdf, const QString &title) override
    {
        CPrintPreviewDlg dialog(pdf, title);
        pages = dialog.pageCount();
        shown << title;
        return true;
    }
    QStringList shown;
    int pages = 0;
};

int addRecord(ClientWindow &w, const QString &number)
{
    PreInputRecord r{};
    r.ddate = {2024, 3, 5};
    r.npieces = 1;
    r.fweight = 1.5;
    Gbk::setField(r.cnum, number);
    Gbk::setField(r.creceiver, QStringLiteral("李四"));
    Gbk::setField(r.cgoods, QStringLiteral("茶叶"));
    return w.context().preInputs().Append(&r);
}

QStringList printed(ClientWindow &w)
{
    return QDir(w.root.file(QStringLiteral("printed"))).entryList(QDir::Files, QDir::Name);
}

// Chinese arrives from an input method, one committed text at a time.
void typeChinese(QWidget *edit, const QString &text)
{
    for (const QChar c : text) {
        QInputMethodEvent commit;
        commit.setCommitString(QString(c));
        QApplication::sendEvent(edit, &commit);
    }
}

} // namespace

TEST(TemplateChooser, ADoubleClickedRowBecomesTheWaybillTemplate)
{
    ClientWindow w(offline([](TempRoot &root) {
        root.write(QStringLiteral("DATA_MODEL/TAB_Alt.txt"), "x");
        QFile::copy(ShippedData::Folder() + QStringLiteral("/DATA_MODEL/TAB_默认面单.xls"),
                    root.file(QStringLiteral("DATA_MODEL/TAB_Alt.xls")));
    }));
    ASSERT_TRUE(w.started());
    QStringList rows;
    QString before;
    bool doubleClick = false;
    w.program->startup().setDialogRunner([&](QDialog &dialog) {
        auto *chooser = dynamic_cast<CTemplateChooseDlg *>(&dialog);
        EXPECT_TRUE(chooser);
        if (!chooser)
            return int(QDialog::Rejected);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("选择当前启用的快件面单模版"));
        rows.clear();
        for (int r = 0; r < chooser->list()->rowCount(); ++r)
            rows << chooser->list()->item(r, 0)->text();
        before = chooser->choiceLabel()->text();
        const int alt = int(rows.indexOf(QStringLiteral("ALT")));
        chooser->list()->selectRow(alt);
        if (doubleClick)
            emit chooser->list()->cellDoubleClicked(alt, 0);
        for (QPushButton *button : chooser->findChildren<QPushButton *>())
            if (button->text() == QStringLiteral("确认选择"))
                button->click();
        return dialog.result();
    });
    w.action(CmdChooseWaybillTemplate)->trigger();
    EXPECT_EQ(rows, (QStringList{QStringLiteral("ALT"), QStringLiteral("默认面单")}));
    EXPECT_EQ(before, QStringLiteral("当前选择：默认面单"));
    EXPECT_EQ(w.context().templates().slot(TemplateKind::Waybill)->name(), QStringLiteral("默认面单"))
        << "selected without a double click: the choice stays";
    doubleClick = true;
    w.action(CmdChooseWaybillTemplate)->trigger();
    EXPECT_EQ(w.context().templates().slot(TemplateKind::Waybill)->name(), QStringLiteral("ALT"));
    EXPECT_TRUE(w.prompter.shown().isEmpty()) << w.prompter.lastText().toStdString();
}

TEST(TemplateChooser, ATemplateThatCannotBeLoadedKeepsTheOldOne)
{
    ClientWindow w(offline([](TempRoot &root) {
        root.write(QStringLiteral("DATA_MODEL/IVC_Broken.txt"), "x");
        root.write(QStringLiteral("DATA_MODEL/IVC_Broken.xls"), "not a workbook");
    }));
    ASSERT_TRUE(w.started());
    w.program->startup().setDialogRunner([](QDialog &dialog) {
        auto *chooser = dynamic_cast<CTemplateChooseDlg *>(&dialog);
        emit chooser->list()->cellDoubleClicked(0, 0);
        dialog.accept();
        return dialog.result();
    });
    w.action(CmdChooseInvoiceTemplate)->trigger();
    EXPECT_EQ(w.prompter.lastText(), QStringLiteral("模版加载失败，选择未完成。"));
    EXPECT_EQ(w.context().templates().slot(TemplateKind::Invoice)->name(), QStringLiteral("默认形式发票"));
}

TEST(PrintHistoryWindow, ListsThePrintoutsNewestFirstAndPrintsOneAgain)
{
    ClientWindow w(offline());
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(PrintDestination::Folder(w.root.file(QStringLiteral("printed"))).Save(w.root.path()));
    const QString pdf = w.root.file(QStringLiteral("printed/面单_A1.pdf"));
    w.root.write(QStringLiteral("printed/面单_A1.pdf"), "%PDF-1.4");
    PrintLedger &ledger = w.context().printLedger();
    ledger.Append({0, {}, QStringLiteral("面单"), QStringLiteral("A1"), QStringLiteral("默认面单"), 1, pdf, {}});
    ledger.Append({0,
                   {},
                   QStringLiteral("形式发票"),
                   QStringLiteral("A2"),
                   QStringLiteral("默认形式发票"),
                   1,
                   w.root.file(QStringLiteral("gone.pdf")),
                   {}});
    int rowsShown = 0;
    w.program->startup().setDialogRunner([&](QDialog &dialog) {
        auto *history = dynamic_cast<CPrintHistoryDlg *>(&dialog);
        rowsShown = history->table()->rowCount();
        EXPECT_EQ(history->table()->item(0, 3)->text(), QStringLiteral("A2"));
        EXPECT_FALSE(history->PrintAgain()) << "its PDF is gone, and no record to make it anew from";
        history->table()->selectRow(1);
        history->copiesBox()->setValue(3);
        history->againButton()->click();
        EXPECT_EQ(history->table()->rowCount(), 3);
        return int(QDialog::Accepted);
    });
    w.action(CmdPrintHistory)->trigger();
    EXPECT_EQ(rowsShown, 2);
    EXPECT_TRUE(w.prompter.lastText().contains(QStringLiteral("gone.pdf")));
    EXPECT_TRUE(w.prompter.lastText().contains(QStringLiteral("运单 A2 也已不在本机记录中")))
        << w.prompter.lastText().toStdString();
    const QList<PrintLedger::Entry> after = ledger.Recent();
    ASSERT_EQ(after.size(), 3);
    EXPECT_EQ(after[0].waybill, QStringLiteral("A1"));
    EXPECT_EQ(after[0].copies, 3);
}

TEST(GoodsSuggestions, ThePagesGoodsFieldOffersFourNamesAndEnterTakesOne)
{
    ClientWindow w(offline());
    ASSERT_TRUE(w.started());
    auto *pane = w.showPage<CPreInputPane>(PageCatalog::PreInput);
    CPreInputPage &page = pane->page();
    QLineEdit *goods = page.edit(QStringLiteral("cgoods"));
    goods->setFocus();
    typeChinese(goods, QStringLiteral("手机"));
    ASSERT_TRUE(page.suggestions()->isVisible());
    EXPECT_EQ(page.suggestions()->count(), 4);
    QTest::keyClick(goods, Qt::Key_PageDown);
    EXPECT_EQ(page.suggestions()->highlighted(), 1);
    QTest::keyClick(goods, Qt::Key_Return);
    EXPECT_EQ(goods->text(), QStringLiteral("手机壳"));
    EXPECT_FALSE(page.suggestions()->isVisible());
}

TEST(GoodsSuggestions, TheGoodsDialogOffersNamesInTheLanguageTyped)
{
    ClientWindow w(offline());
    ASSERT_TRUE(w.started());
    auto *pane = w.showPage<CPreInputPane>(PageCatalog::PreInput);
    QString taken;
    pane->page().setDialogRunner([&](QDialog &dialog) {
        auto *goods = dynamic_cast<CGoodsDlg *>(&dialog);
        if (!goods)
            return int(QDialog::Rejected);
        goods->show();
        goods->nameBox()->setFocus();
        QTest::keyClicks(goods->nameBox(), QStringLiteral("green"));
        EXPECT_TRUE(goods->suggestions()->isVisible());
        QTest::keyClick(goods->nameBox(), Qt::Key_Return);
        taken = goods->nameBox()->text();
        return int(QDialog::Rejected);
    });
    pane->page().caption(QStringLiteral("品名:"))->click();
    EXPECT_EQ(taken, QStringLiteral("Green tea"));
}

TEST(PrintCommandsWindow, OneWaybillAfterItsPreviewSeveralInTheBackground)
{
    ClientWindow w(offline());
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(PrintDestination::Folder(w.root.file(QStringLiteral("printed"))).Save(w.root.path()));
    for (int i = 1; i <= 3; ++i)
        addRecord(w, QStringLiteral("DE9012300000%1").arg(i));
    auto *pane = w.showPage<CPreInputPane>(PageCatalog::PreInput);
    pane->RefreshList();
    AcceptingPreview preview;
    pane->setPreview(&preview);
    ASSERT_TRUE(w.action(CmdPrintWaybills)->isEnabled());

    pane->listCtrl().selectRow(0);
    w.action(CmdPrintWaybills)->trigger();
    EXPECT_EQ(preview.shown, QStringList{QStringLiteral("面单_DE90123000001")});
    EXPECT_EQ(preview.pages, 1) << "the preview rendered the page";
    EXPECT_EQ(printed(w), QStringList{QStringLiteral("面单_DE90123000001.pdf")});

    pane->SelectAll();
    w.prompter.queueAnswer(true);
    QStringList progress;
    QObject::connect(pane, &CPreInputPane::documentPrinted, [&] { progress << w.frame().operationText(); });
    w.action(CmdPrintWaybills)->trigger();
    EXPECT_EQ(w.prompter.lastText(), QStringLiteral("共选中 3 条记录，\r\n要批量打印[默认面单]面单吗? \r\n请确认！"));
    EXPECT_TRUE(pane->printBusy());
    w.action(CmdPrintWaybills)->trigger();
    EXPECT_EQ(w.prompter.shown().size(), 1) << "a second command during the run does nothing";
    ASSERT_TRUE(ClientWindow::waitFor([&] { return !pane->printBusy(); }, 60000));
    EXPECT_EQ(progress.last(), QStringLiteral("当前操作：批量打印面单 3/3..."));
    EXPECT_TRUE(w.frame().operationText().isEmpty());
    EXPECT_EQ(printed(w).size(), 4);
    EXPECT_EQ(preview.shown.size(), 1) << "batches print without preview";
    EXPECT_EQ(w.context().printLedger().Recent().size(), 4);
}

TEST(PrintCommandsWindow, TheOfficeDyingInABatchIsSaidAndTheBusyFlagClears)
{
    ClientWindow w(offline());
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(PrintDestination::Folder(w.root.file(QStringLiteral("printed"))).Save(w.root.path()));
    KillingEngine killing(OfficeEngine::processEngine(), 2);
    w.context().setSpreadsheetEngine(&killing);
    for (int i = 1; i <= 3; ++i)
        addRecord(w, QStringLiteral("DE9012300000%1").arg(i));
    auto *pane = w.showPage<CPreInputPane>(PageCatalog::PreInput);
    pane->RefreshList();
    pane->SelectAll();
    w.prompter.queueAnswer(true);
    w.action(CmdPrintWaybills)->trigger();
    ASSERT_TRUE(ClientWindow::waitFor([&] { return !pane->printBusy(); }, 60000));
    EXPECT_EQ(printed(w).size(), 2);
    EXPECT_TRUE(w.prompter.lastText().startsWith(QStringLiteral("以下 1 份没有完成：\r\nDE90123000002: LibreOffice")))
        << w.prompter.lastText().toStdString();
    w.context().setSpreadsheetEngine(&OfficeEngine::processEngine());
}

TEST(PrintCommandsWindow, InvoicesSavedToFilesSayWhere)
{
    ClientWindow w(offline());
    ASSERT_TRUE(w.started());
    const int id = addRecord(w, QStringLiteral("DE90123000001"));
    auto *pane = w.showPage<CPreInputPane>(PageCatalog::PreInput);
    pane->RefreshList();
    pane->listCtrl().selectRow(pane->list().FindRowById(id));
    w.action(CmdInvoicesToFile)->trigger();
    EXPECT_EQ(w.prompter.lastText(),
              QStringLiteral("共处理 1 条记录，\r\n─────────────────\r\n保存形式发票位置: \r\n") +
                  QDir::toNativeSeparators(w.context().tempFolder() + u'/'));
    EXPECT_TRUE(QFileInfo::exists(w.context().tempFolder() + QStringLiteral("/INVOICE_DE90123000001.xls")));
    pane->listCtrl().clearSelection();
    w.action(CmdPrintInvoices)->trigger();
    EXPECT_EQ(w.prompter.lastText(), QStringLiteral("没有在列表中选中要打印形式发票的记录。"));
}

TEST(PrintCommandsWindow, PrintMakesAReportOfTheListShowing)
{
    ClientWindow w(offline());
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(PrintDestination::Folder(w.root.file(QStringLiteral("printed"))).Save(w.root.path()));
    auto *pane = w.showPage<CPreInputPane>(PageCatalog::PreInput);
    pane->RefreshList();
    w.frame().updateCommandStates();
    EXPECT_FALSE(w.action(CmdPrint)->isEnabled()) << "an empty list has nothing to print";
    for (int i = 1; i <= 60; ++i)
        addRecord(w, QStringLiteral("RP90123%1").arg(i, 5, 10, QLatin1Char('0')));
    pane->RefreshList();
    w.frame().updateCommandStates();
    ASSERT_TRUE(w.action(CmdPrint)->isEnabled());
    AcceptingPreview preview;
    pane->setReportPreview(&preview);
    w.action(CmdPrint)->trigger();
    ASSERT_EQ(preview.shown, QStringList{pane->captionPrefix()}) << w.prompter.lastText().toStdString();
    EXPECT_GE(preview.pages, 2) << "every page of a long list, not only the first";
    const QList<PrintLedger::Entry> ledger = w.context().printLedger().Recent();
    ASSERT_EQ(ledger.size(), 1);
    EXPECT_EQ(ledger.first().kind, QStringLiteral("列表"));
    EXPECT_EQ(printed(w).size(), 1);
}
