#include "excel/PrintDestination.h"
#include "print/CPrintPreviewDlg.h"
#include "print/PrintPreview.h"
#include "query/CRecordCheckPane.h"
#include "query/CRecordQueryDlg.h"
#include "shell/PageCatalog.h"
#include "support/ClientWindow.h"

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

// Renders the preview as the operator sees it and prints.
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

ClientWindow::Options shownWithServer(const std::function<void(TempRoot &)> &prepare = {})
{
    ClientWindow::Options o;
    o.show = true;
    o.prepare = prepare;
    return o;
}

// The record check page after a query of every shipment since 2000.
CRecordCheckPane *queryAll(ClientWindow &w)
{
    auto *pane = w.showPage<CRecordCheckPane>(PageCatalog::RecordCheck);
    pane->setDialogRunner([](QDialog &d) {
        auto &dialog = static_cast<CRecordQueryDlg &>(d);
        QLineEdit *from = dialog.field(QStringLiteral("from"));
        from->selectAll();
        QTest::keyClicks(from, QStringLiteral("20000101"));
        for (QPushButton *b : dialog.findChildren<QPushButton *>())
            if (b->text() == QStringLiteral("确认查询"))
                b->click();
        return dialog.result();
    });
    w.action(CmdQuery)->trigger();
    return pane;
}

void clickRow(CRecordCheckPane *pane, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    CRecordListCtrl &view = pane->listCtrl();
    const QRect cell = view.visualRect(pane->list().index(row, 2));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, cell.center());
}

QStringList printed(ClientWindow &w)
{
    return QDir(w.root.file(QStringLiteral("printed"))).entryList(QDir::Files, QDir::Name);
}

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

TEST(ServerWaybillWindow, OneSelectedShipmentAfterItsPreviewTwoInTheBackground)
{
    ClientWindow w(shownWithServer());
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(w.login());
    ASSERT_TRUE(PrintDestination::Folder(w.root.file(QStringLiteral("printed"))).Save(w.root.path()));
    w.prompter.clear();
    w.action(CmdShowRecordCheck)->trigger();
    ASSERT_TRUE(w.action(CmdPrintWaybills)->isEnabled());
    w.action(CmdPrintWaybills)->trigger();
    EXPECT_TRUE(w.prompter.shown().isEmpty()) << "an empty list prints nothing and says nothing";

    CRecordCheckPane *pane = queryAll(w);
    ASSERT_GE(pane->list().rowCount(), 3) << w.prompter.lastText().toStdString();
    AcceptingPreview preview;
    pane->setPreview(&preview);
    w.action(CmdPrintWaybills)->trigger();
    EXPECT_EQ(w.prompter.lastText(), QStringLiteral("没有在列表中选中要打印面单的记录。"));

    const QString first = pane->list().cell(0, 2);
    clickRow(pane, 0);
    w.prompter.clear();
    w.action(CmdPrintWaybills)->trigger();
    EXPECT_TRUE(w.prompter.shown().isEmpty()) << w.prompter.lastText().toStdString();
    EXPECT_EQ(preview.shown, QStringList{QStringLiteral("面单_") + first});
    EXPECT_EQ(preview.pages, 1) << "the preview rendered the page";
    ASSERT_EQ(printed(w), QStringList{QStringLiteral("面单_%1.pdf").arg(first)});
    const QString text = pdfText(w.root.file(QStringLiteral("printed/面单_%1.pdf").arg(first)));
    EXPECT_TRUE(text.contains(first)) << "the server record's number is on the sheet";
    EXPECT_TRUE(text.contains(pane->list().cell(0, 13))) << "and its receiver";

    clickRow(pane, 1);
    clickRow(pane, 2, Qt::ControlModifier);
    ASSERT_EQ(pane->listCtrl().selectedRowIndexes(), (QList<int>{1, 2}));
    const QStringList batch{pane->list().cell(1, 2), pane->list().cell(2, 2)};
    QStringList progress;
    QList<int> done;
    QObject::connect(pane, &CRecordCheckPane::documentPrinted, [&](int id) {
        done << id;
        progress << w.frame().operationText();
    });
    w.prompter.queueAnswer(true);
    w.action(CmdPrintWaybills)->trigger();
    EXPECT_EQ(w.prompter.shown().last().title, QStringLiteral("确认提示"));
    EXPECT_EQ(w.prompter.lastText(), QStringLiteral("共选中 2 条记录，\r\n要批量打印[默认面单]面单吗? \r\n请确认！"));
    EXPECT_TRUE(pane->printBusy());
    w.action(CmdPrintWaybills)->trigger();
    EXPECT_EQ(w.prompter.shown().size(), 1) << "a second command during the run does nothing";
    ASSERT_TRUE(ClientWindow::waitFor([&] { return !pane->printBusy(); }, 60000));
    EXPECT_EQ(w.prompter.shown().size(), 1) << w.prompter.lastText().toStdString();
    EXPECT_EQ(done, (QList<int>{pane->list().GetRowId(1), pane->list().GetRowId(2)}));
    EXPECT_EQ(progress.last(), QStringLiteral("当前操作：批量打印面单 2/2..."));
    EXPECT_TRUE(w.frame().operationText().isEmpty());
    EXPECT_EQ(preview.shown.size(), 1) << "batches print without preview";

    QStringList expected{QStringLiteral("面单_%1.pdf").arg(first)};
    for (const QString &number : batch)
        expected << QStringLiteral("面单_%1.pdf").arg(number);
    expected.sort();
    EXPECT_EQ(printed(w), expected);
    const QList<PrintLedger::Entry> ledger = w.context().printLedger().Recent();
    ASSERT_EQ(ledger.size(), 3);
    QStringList ledgered;
    for (const PrintLedger::Entry &entry : ledger) {
        EXPECT_EQ(entry.kind, QStringLiteral("面单"));
        EXPECT_EQ(entry.templateName, QStringLiteral("默认面单"));
        EXPECT_TRUE(QFileInfo::exists(entry.pdf)) << entry.pdf.toStdString();
        ledgered << entry.waybill;
    }
    EXPECT_TRUE(ledgered.contains(first));
    for (const QString &number : batch)
        EXPECT_TRUE(ledgered.contains(number)) << number.toStdString();
}

TEST(ServerWaybillWindow, WithoutAWaybillTemplateItIsSaidAndNothingPrints)
{
    ClientWindow w(shownWithServer(
        [](TempRoot &root) { root.write(QStringLiteral("DATA_MODEL/TAB_默认面单.xls"), "not a workbook"); }));
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(w.login());
    ASSERT_FALSE(w.context().templates().slot(TemplateKind::Waybill));
    CRecordCheckPane *pane = queryAll(w);
    ASSERT_GT(pane->list().rowCount(), 0);
    clickRow(pane, 0);
    w.prompter.clear();
    w.action(CmdPrintWaybills)->trigger();
    EXPECT_EQ(w.prompter.lastText(), QStringLiteral("没有选择可用的面单模版。"));
    EXPECT_TRUE(w.context().printLedger().Recent().isEmpty());
}
