#include "preinput/CLinkLabel.h"
#include "preinput/CPreInputPane.h"
#include "preinput/CSuggestionList.h"
#include "query/CFeeListPane.h"
#include "query/CFeeQueryDlg.h"
#include "query/CInfoPage.h"
#include "query/CPreQueryPane.h"
#include "query/CRecordCheckPane.h"
#include "query/CRecordQueryDlg.h"
#include "shell/PageCatalog.h"
#include "support/ClientWindow.h"
#include "text/Gbk.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

// The page box of a pane: the line edit beside "翻页到第".
QLineEdit *pageBox(CRecordListPane *pane)
{
    for (QLineEdit *edit : pane->findChildren<QLineEdit *>())
        if (edit->text() == pane->pageBoxText() && !pane->leftForm()->isAncestorOf(edit))
            return edit;
    return nullptr;
}

// Types a page number into the box and confirms it with Enter.
void jumpTo(CRecordListPane *pane, int page)
{
    QLineEdit *box = pageBox(pane);
    ASSERT_NE(box, nullptr);
    box->selectAll();
    QTest::keyClicks(box, QString::number(page));
    QTest::keyClick(box, Qt::Key_Return);
}

QPushButton *button(QWidget *dialog, const QString &text)
{
    for (QPushButton *b : dialog->findChildren<QPushButton *>())
        if (b->text() == text)
            return b;
    return nullptr;
}

// Double-clicks a row of the pane's list as the operator does.
void doubleClickRow(CRecordListPane *pane, int row)
{
    CRecordListCtrl &view = pane->listCtrl();
    const QRect cell = view.visualRect(pane->list().index(row, 2));
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

// The record dialog as an operator fills it: the from box retyped, the
// listed boxes unticked, then "确认查询".
CServerListPane *queryRecords(ClientWindow &w, const QString &from, const QStringList &untick = {})
{
    auto *pane = w.showPage<CRecordCheckPane>(PageCatalog::RecordCheck);
    pane->setDialogRunner([from, untick](QDialog &d) {
        auto &dialog = static_cast<CRecordQueryDlg &>(d);
        QLineEdit *box = dialog.field(QStringLiteral("from"));
        box->selectAll();
        QTest::keyClicks(box, from);
        for (const QString &name : untick)
            QTest::mouseClick(dialog.box(name), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        button(&dialog, QStringLiteral("确认查询"))->click();
        return dialog.result();
    });
    w.action(CmdQuery)->trigger();
    return pane;
}

} // namespace

TEST(QueryPagesGui, RecordListPagesThroughEveryPage)
{
    ClientWindow w;
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(w.login());
    w.prompter.clear();
    w.action(CmdShowRecordCheck)->trigger();
    EXPECT_FALSE(w.action(CmdExport)->isEnabled()) << "nothing to export before a query";
    EXPECT_TRUE(w.action(CmdPrintWaybills)->isEnabled()) << "the page prints the waybills of its shipments";
    CServerListPane *pane = queryRecords(w, QStringLiteral("20000101"));
    ASSERT_EQ(pane->list().rowCount(), 100) << w.prompter.lastText().toStdString();
    const int total = pane->query().current().total;
    const int pages = pane->query().current().pages;
    EXPECT_GE(total, 320);
    EXPECT_TRUE(
        pane->captionText().startsWith(QStringLiteral("●共 %1 票，%2 页。◇当前为第1页：100票").arg(total).arg(pages)));
    EXPECT_EQ(pane->pageBoxText(), u"2页");
    EXPECT_TRUE(w.action(CmdExport)->isEnabled());

    QSet<int> ids;
    int seen = 0;
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            jumpTo(pane, page);
        ASSERT_EQ(pane->query().current().page, page);
        EXPECT_EQ(pane->list().cell(0, 0).trimmed().toInt(), (page - 1) * 100 + 1);
        for (int r = 0; r < pane->list().rowCount(); ++r)
            ids.insert(pane->list().GetRowId(r));
        seen += pane->list().rowCount();
    }
    EXPECT_EQ(seen, total);
    EXPECT_EQ(ids.size(), total) << "every record once";
    EXPECT_EQ(pane->pageBoxText(), u"1页") << "after the last page the box offers page 1";
    jumpTo(pane, 99);
    EXPECT_EQ(pane->query().current().page, pages) << "the last page is the one showing: nothing happens";
    jumpTo(pane, 1);
    EXPECT_EQ(pane->query().current().page, 1);
    EXPECT_TRUE(w.prompter.shown().isEmpty()) << w.prompter.lastText().toStdString();

    // Select all selects every row, and a second time none.
    w.action(CmdSelectAll)->trigger();
    EXPECT_EQ(pane->listCtrl().selectedRowIndexes().size(), 100);
    w.action(CmdSelectAll)->trigger();
    EXPECT_TRUE(pane->listCtrl().selectedRowIndexes().isEmpty());
}

TEST(QueryPagesGui, RecordDialogByKeyboardAndCaptions)
{
    ClientWindow w;
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(w.login());
    auto *pane = w.showPage<CRecordCheckPane>(PageCatalog::RecordCheck);
    QStringList chooserTitles;
    pane->setDialogRunner([&](QDialog &d) {
        auto &dialog = static_cast<CRecordQueryDlg &>(d);
        dialog.setChooser([&](const QString &title, const QStringList &items) {
            chooserTitles << title;
            return items.value(0);
        });
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        const auto focused = [] { return QApplication::focusWidget(); };
        dialog.field(QStringLiteral("num"))->setFocus();
        QTest::keyClick(focused(), Qt::Key_Down);
        EXPECT_EQ(focused(), dialog.field(QStringLiteral("pieces")));
        QTest::keyClick(focused(), Qt::Key_Up);
        EXPECT_EQ(focused(), dialog.field(QStringLiteral("num")));

        // Counts and amounts take numbers only; a count may be negative.
        QLineEdit *pieces = dialog.field(QStringLiteral("pieces"));
        pieces->clear();
        QTest::keyClicks(pieces, QStringLiteral("o-2x"));
        EXPECT_EQ(pieces->text(), u"-2");
        QLineEdit *weight = dialog.field(QStringLiteral("wfrom"));
        weight->clear();
        QTest::keyClicks(weight, QStringLiteral("1,5a.25"));
        EXPECT_EQ(weight->text(), u"15.25");
        pieces->setText(QStringLiteral("0"));
        weight->setText(QStringLiteral("0"));

        // The destination box offers destinations; Enter takes the first and moves on.
        dialog.field(QStringLiteral("des"))->setFocus();
        typeInto(focused(), QStringLiteral("北"));
        EXPECT_TRUE(dialog.suggestions().isVisible());
        QTest::keyClick(focused(), Qt::Key_Return);
        EXPECT_EQ(dialog.field(QStringLiteral("des"))->text(), u"北京");
        EXPECT_FALSE(dialog.suggestions().isVisible());
        EXPECT_EQ(focused(), dialog.box(QStringLiteral("region0")));

        // Enter in the editable settlement box moves on to the sender.
        dialog.settlement().setFocus();
        QTest::keyClicks(focused(), QStringLiteral("PP"));
        QTest::keyClick(focused(), Qt::Key_Return);
        EXPECT_EQ(focused(), dialog.field(QStringLiteral("sender")));

        for (CLinkLabel *link : dialog.findChildren<CLinkLabel *>())
            if (link->text() == u"(渠道)类别:" || link->text() == u"标签:")
                link->click();
        EXPECT_EQ(dialog.field(QStringLiteral("kind"))->text(), u"特快专递");
        dialog.modeMarker().click();
        EXPECT_EQ(dialog.modeMarker().text(), u"▼日期为录单日期时间");
        EXPECT_TRUE(dialog.field(QStringLiteral("from"))->text().contains(u':'));
        dialog.modeMarker().click();
        dialog.modeMarker().click();
        EXPECT_EQ(dialog.modeMarker().text(), u"▼日期为业务日期");
        dialog.field(QStringLiteral("from"))->setText(QStringLiteral("2000.1.1"));
        button(&dialog, QStringLiteral("确认查询"))->click();
        return dialog.result();
    });
    w.action(CmdQuery)->trigger();
    EXPECT_EQ(chooserTitles.first(), u"快递类别列表（双击选取！）");
    ASSERT_GT(pane->list().rowCount(), 0) << w.prompter.lastText().toStdString();
    for (int r = 0; r < pane->list().rowCount(); ++r) {
        EXPECT_EQ(pane->list().cell(r, 7), u"北京");
        EXPECT_EQ(pane->list().cell(r, 8), u"特快专递");
    }
    EXPECT_EQ(pane->form().values().settlement, u"PP");
}

TEST(QueryPagesGui, FiltersColoursAndAFailedFetchKeepsTheRows)
{
    ClientWindow w;
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(w.login());
    CServerListPane *pane =
        queryRecords(w, QStringLiteral("20000101"), {QStringLiteral("type1"), QStringLiteral("pay0")});
    ASSERT_GT(pane->list().rowCount(), 0);
    for (int r = 0; r < pane->list().rowCount(); ++r) {
        EXPECT_NE(pane->list().cell(r, 3), u"包裹");
        EXPECT_EQ(pane->list().cell(r, 10), u"√");
        const QString state = pane->list().cell(r, 16);
        if (state == u"送达") {
            EXPECT_EQ(pane->list().row(r).text, 0x008000u);
        } else if (state == u"转运") {
            EXPECT_EQ(pane->list().row(r).text, 0x808000u);
        }
    }
    const int rows = pane->list().rowCount();
    ASSERT_TRUE(w.server.setHooks("op=1 status -15"));
    w.action(CmdRefresh)->trigger();
    EXPECT_EQ(w.prompter.lastText(), u"查询失败。返回值：-15");
    EXPECT_EQ(pane->list().rowCount(), rows) << "the previous rows stay";
}

TEST(QueryPagesGui, ARowOpensIntoTheInformationPageAndBack)
{
    ClientWindow w;
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(w.login());
    auto *pane = static_cast<CRecordCheckPane *>(queryRecords(w, QStringLiteral("20000101")));
    ASSERT_GT(pane->list().rowCount(), 0);
    ASSERT_TRUE(pane->formHidden());
    QUrl opened;
    pane->infoPage().setLinkOpener([&](const QUrl &url) { opened = url; });

    doubleClickRow(pane, 0);
    ASSERT_FALSE(pane->formHidden()) << w.prompter.lastText().toStdString();
    const QString waybill = pane->list().cell(0, 2);
    EXPECT_EQ(pane->infoPage().title().text(), QStringLiteral("№ %1 [ID:%2] - 状态:%3")
                                                   .arg(waybill)
                                                   .arg(pane->list().GetRowId(0))
                                                   .arg(pane->list().cell(0, 16)));
    const QString page = pane->infoPage().browser().toPlainText();
    EXPECT_TRUE(page.contains(u"运单号:")) << page.toStdString();
    EXPECT_TRUE(page.contains(u"收件人相关信息"));

    // The tracking link opens in the system browser.
    emit pane->infoPage().browser().anchorClicked(
        QUrl(QStringLiteral("http://%1/cgi-bin/VEdiz.dll?TarvoTrack&cno=%2").arg(w.server.host(), waybill)));
    EXPECT_EQ(opened.query(), QStringLiteral("TarvoTrack&cno=%1").arg(waybill));
    emit pane->infoPage().browser().anchorClicked(QUrl(QStringLiteral("file:///etc/passwd")));
    EXPECT_EQ(opened.scheme(), u"http") << "only web links leave the program";

    QTest::mouseClick(&pane->infoPage().closeButton(), Qt::LeftButton);
    EXPECT_TRUE(pane->formHidden());
    EXPECT_EQ(pane->list().rowCount(), 100) << "the list is there as it was";
}

TEST(QueryPagesGui, HostileServerValuesStayText)
{
    ClientWindow w;
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(w.login());
    auto *local = w.showPage<CPreInputPane>(PageCatalog::PreInput);
    PreInputRecord r{};
    r.ddate = {2026, 12, 1};
    r.fweight = 1;
    Gbk::setField(r.cnum, QStringLiteral("GH0000001"));
    Gbk::setField(r.cdes, QStringLiteral("北京"));
    Gbk::setField(r.cemskind, QStringLiteral("特快专递"));
    Gbk::setField(r.creceiver, QStringLiteral("<script>alert(1)</script>"));
    Gbk::setField(r.csender, QStringLiteral("<a href=x>y</a>"));
    Gbk::setField(r.cgoods, QStringLiteral("</table><h1>big"));
    w.context().preInputs().Append(&r);
    local->RefreshList();
    local->listCtrl().selectAll();
    w.frame().uploadButton()->trigger();
    ASSERT_TRUE(ClientWindow::waitFor([&] { return !w.frame().uploading(); }));

    auto *pane = w.showPage<CRecordCheckPane>(PageCatalog::RecordCheck);
    pane->setDialogRunner([](QDialog &d) {
        auto &dialog = static_cast<CRecordQueryDlg &>(d);
        QTest::keyClicks(dialog.field(QStringLiteral("num")), QStringLiteral("GH0000001"));
        dialog.field(QStringLiteral("from"))->setText(QStringLiteral("2026.11.01"));
        button(&dialog, QStringLiteral("确认查询"))->click();
        return dialog.result();
    });
    w.action(CmdQuery)->trigger();
    ASSERT_EQ(pane->list().rowCount(), 1) << w.prompter.lastText().toStdString();
    doubleClickRow(pane, 0);
    ASSERT_FALSE(pane->formHidden());
    const QString text = pane->infoPage().browser().toPlainText();
    EXPECT_TRUE(text.contains(u"<script>alert(1)</script>")) << text.toStdString();
    EXPECT_TRUE(text.contains(u"<a href=x>y</a>"));
    EXPECT_TRUE(text.contains(u"</table><h1>big"));
    const QString html = pane->infoPage().browser().toHtml();
    EXPECT_FALSE(html.contains(u"href=\"x\"")) << "no link but the tracking link";
    EXPECT_EQ(html.count(u"<a "), 1);
}

TEST(QueryPagesGui, PreEntriesUploadedEarlierAreListedAndDeleted)
{
    ClientWindow w;
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(w.login(QStringLiteral("demopre")));
    // Two shipments keyed in earlier, uploaded from the pre-entry page.
    auto *local = w.showPage<CPreInputPane>(PageCatalog::PreInput);
    for (const char *number : {"GQ0000001", "GQ0000002"}) {
        PreInputRecord r{};
        r.ddate = {2026, 12, 1};
        r.fweight = 2.5;
        r.npieces = 1;
        Gbk::setField(r.cnum, QString::fromLatin1(number));
        Gbk::setField(r.cdes, QStringLiteral("上海"));
        Gbk::setField(r.cemskind, QStringLiteral("特快专递"));
        w.context().preInputs().Append(&r);
    }
    local->RefreshList();
    local->listCtrl().selectAll();
    w.frame().uploadButton()->trigger();
    ASSERT_TRUE(ClientWindow::waitFor([&] { return !w.frame().uploading(); }));
    ASSERT_EQ(w.context().preInputs().GetCount(), 0) << w.prompter.lastText().toStdString();

    w.action(CmdShowPreQuery)->trigger();
    auto *pane = dynamic_cast<CPreQueryPane *>(w.view().currentPage());
    ASSERT_NE(pane, nullptr);
    w.action(CmdQuery)->trigger();
    ASSERT_EQ(pane->list().rowCount(), 3);
    EXPECT_EQ(pane->list().cell(0, 2), u"GQ0000002");
    EXPECT_EQ(pane->list().cell(1, 2), u"GQ0000001");
    EXPECT_EQ(pane->captionText(), u"●未处理预录单共 3 票，1 页。◇当前为第1页：3票3件,重量7.000公斤");

    // A row opens into what the list knows of it.
    doubleClickRow(pane, 1);
    EXPECT_FALSE(pane->formHidden());
    EXPECT_TRUE(pane->infoPage().title().text().startsWith(u"№ GQ0000001 [ID:"));
    QTest::mouseClick(&pane->infoPage().closeButton(), Qt::LeftButton);

    pane->listCtrl().selectRow(0);
    w.prompter.clear();
    w.prompter.queueAnswer(false);
    ASSERT_TRUE(w.action(CmdDelete)->isEnabled()) << "delete works on page 5 with its form hidden";
    w.action(CmdDelete)->trigger();
    EXPECT_EQ(pane->list().rowCount(), 3) << "No keeps them";
    EXPECT_EQ(w.prompter.shown().last().title, u"删除记录确认提示");

    pane->listCtrl().selectRow(0);
    w.action(CmdDelete)->trigger();
    ASSERT_EQ(pane->list().rowCount(), 2);
    EXPECT_EQ(pane->list().cell(0, 2), u"GQ0000001");

    w.action(CmdSelectAll)->trigger();
    w.action(CmdDelete)->trigger();
    EXPECT_EQ(pane->list().rowCount(), 0) << "nothing left: the list is empty, not the old rows";
    EXPECT_TRUE(pane->captionText().startsWith(u"●未处理预录单共 0 票"));
    w.action(CmdDelete)->trigger();
    EXPECT_FALSE(w.action(CmdDelete)->isEnabled());
}

TEST(QueryPagesGui, SettlementsAndExportOfAllPages)
{
    ClientWindow w;
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(w.login());
    w.action(CmdShowSettlement)->trigger();
    auto *fees = dynamic_cast<CFeeListPane *>(w.view().currentPage());
    ASSERT_NE(fees, nullptr);
    fees->setDialogRunner([](QDialog &d) {
        auto &dialog = static_cast<CFeeQueryDlg &>(d);
        dialog.from().selectAll();
        QTest::keyClicks(&dialog.from(), QStringLiteral("2000.1.1"));
        QTest::mouseClick(&dialog.type(1), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        button(&dialog, QStringLiteral("确认查询"))->click();
        return dialog.result();
    });
    w.action(CmdQuery)->trigger();
    ASSERT_GT(fees->list().rowCount(), 8) << w.prompter.lastText().toStdString();
    for (int r = 0; r < fees->list().rowCount(); ++r)
        EXPECT_EQ(fees->list().cell(r, 3), u"核收");

    CServerListPane *records = queryRecords(w, QStringLiteral("20000101"));
    const int total = records->query().current().total;
    w.files.saveName = w.root.file(QStringLiteral("all.txt"));
    w.files.saveFilter = 1;
    w.prompter.clear();
    w.action(CmdExport)->trigger();
    ASSERT_GE(w.prompter.shown().size(), 2);
    EXPECT_EQ(w.prompter.shown().first().title, u"导出提示");
    EXPECT_EQ(w.prompter.lastText(), u"文件已经保存。");
    QFile file(w.files.saveName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll().mid(2);
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData()), bytes.size() / 2);
    const QStringList lines = text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.first(), u"快件记录清单");
    EXPECT_EQ(lines.size(), 3 + total) << "title, time, headers and every record of every page";
    EXPECT_TRUE(lines.last().startsWith(QString::asprintf("% 4d\t", total)));
}
