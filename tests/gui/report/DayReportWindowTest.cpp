#include "OfficeEngine.h"
#include "excel/PrintDestination.h"
#include "preinput/CListChooseDlg.h"
#include "preinput/CPreInputPage.h"
#include "preinput/CPreInputPane.h"
#include "preinput/PreInputRows.h"
#include "print/CPrintPreviewDlg.h"
#include "print/PrintPreview.h"
#include "report/CDayCharts.h"
#include "report/CDayReportPane.h"
#include "shell/PageCatalog.h"
#include "support/ClientWindow.h"
#include "text/Gbk.h"
#include "upload/UploadLedger.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPieSeries>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>

using namespace quarvel;

namespace {

// The office the manifests print with ends with the test program.
class OfficeEnd : public ::testing::Environment {
public:
    void TearDown() override { OfficeEngine::shutdownProcessEngine(); }
};
[[maybe_unused]] const ::testing::Environment *const officeEnd = ::testing::AddGlobalTestEnvironment(new OfficeEnd);

// Answers the manifest's preview and keeps what it was shown.
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

struct Keyed {
    const char *number;
    const char *destination;
    const char *weight;
    const char *payWay;
};

const Keyed kKeyed[] = {
    {"DR25000001", "北京", "1.5", "月结"}, {"DR25000002", "上海", "2.25", "现付"}, {"DR25000003", "天津", "3", "到付"}};

// The text of the PDF, or of one page of it.
QString pdfText(const QString &pdf, int page = 0)
{
    QStringList args{QStringLiteral("-layout")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args << pdf << QStringLiteral("-"));
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList printed(ClientWindow &w)
{
    return QDir(w.root.file(QStringLiteral("printed"))).entryList(QDir::Files, QDir::Name);
}

ClientWindow::Options shownWindow(bool server, const std::function<void(TempRoot &)> &prepare = {})
{
    ClientWindow::Options o;
    o.server = server;
    o.show = true;
    o.prepare = prepare;
    return o;
}

// The counter's window, active, so that shortcuts and menu keys reach it.
bool activate(ClientWindow &w)
{
    w.frame().activateWindow();
    QApplication::setActiveWindow(&w.frame());
    return QTest::qWaitForWindowActive(&w.frame());
}

// Alt+K opens the express kinds; Home and Return take the first.
void pickFirstKind(ClientWindow &w, CPreInputPage &page)
{
    QTimer::singleShot(0, [] {
        if (auto *picker = qobject_cast<CListChooseDlg *>(QApplication::activeModalWidget())) {
            QTest::keyClick(picker->list(), Qt::Key_Home);
            QTest::keyClick(picker->list(), Qt::Key_Return);
        }
    });
    QApplication::setActiveWindow(&w.frame());
    QTest::keyClick(page.edit(QStringLiteral("cnum")), Qt::Key_K, Qt::AltModifier);
}

// Keys one shipment into a new record of the pre-entry page (新建) and
// saves it with F2.
void keyIn(ClientWindow &w, CPreInputPage &page, const Keyed &k)
{
    w.action(CmdNew)->trigger();
    const auto type = [&](const char *field, const char *text) {
        QLineEdit *edit = page.edit(QString::fromLatin1(field));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        typeInto(edit, QString::fromUtf8(text));
    };
    type("cnum", k.number);
    pickFirstKind(w, page);
    type("cdes", k.destination);
    type("creceiver", "李四");
    type("cphone", "13800138000");
    auto *address = qobject_cast<QPlainTextEdit *>(page.control(QStringLiteral("creceiveraddr")));
    address->setFocus();
    typeInto(address, QStringLiteral("建国路1号"));
    type("fweight", k.weight);
    auto *payWay = qobject_cast<QComboBox *>(page.control(QStringLiteral("npayway")));
    payWay->setFocus();
    // The arrow keys move between fields; Page Down steps through a list.
    QTest::keyClick(payWay, Qt::Key_Home);
    for (int i = 0; i < payWay->count() && payWay->currentText() != QString::fromUtf8(k.payWay); ++i)
        QTest::keyClick(payWay, Qt::Key_PageDown);
    QApplication::setActiveWindow(&w.frame());
    w.press(Qt::Key_F2);
}

// Opens 日结 the way an operator does: Alt+Z opens the 信息 menu, J takes
// its entry 日结(&J).
bool openDayReportFromTheMenu(ClientWindow &w)
{
    QApplication::setActiveWindow(&w.frame());
    w.press(Qt::Key_Z, Qt::AltModifier);
    QWidget *popup = nullptr;
    if (!ClientWindow::waitFor([&] { return (popup = QApplication::activePopupWidget()) != nullptr; }, 3000))
        return false;
    auto *menu = qobject_cast<QMenu *>(popup);
    if (!menu || menu->title() != QStringLiteral("信息(&Z)"))
        return false;
    QTest::keyClick(menu, Qt::Key_J);
    return w.view().currentIndex() == PageCatalog::DayReport;
}

int barTotal(const QChart &chart)
{
    int total = 0;
    for (QAbstractSeries *series : chart.series())
        if (auto *bars = qobject_cast<QBarSeries *>(series))
            for (QBarSet *set : bars->barSets())
                for (int i = 0; i < set->count(); ++i)
                    total += int(set->at(i));
    return total;
}

// The count axis reaches at least `most` and every tick is a whole number
// of shipments, so that no label shows twice.
bool wholeCountTicks(const QChart &chart, int most)
{
    for (QAbstractAxis *axis : chart.axes(Qt::Vertical))
        if (auto *counts = qobject_cast<QValueAxis *>(axis)) {
            const double step = (counts->max() - counts->min()) / (counts->tickCount() - 1);
            return counts->min() == 0 && counts->max() >= most && step >= 1 && step == std::floor(step);
        }
    return false;
}

double pieTotal(const QChart &chart)
{
    double total = 0;
    for (QAbstractSeries *series : chart.series())
        if (auto *pie = qobject_cast<QPieSeries *>(series))
            total += pie->sum();
    return total;
}

} // namespace

TEST(DayReportWindow, ThreeShipmentsKeyedAndUploadedAreTheDaysTotalsTheServerHoldsAndTheManifestLists)
{
    ClientWindow w(shownWindow(true));
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(w.login()) << w.prompter.lastText().toStdString();
    ASSERT_TRUE(PrintDestination::Folder(w.root.file(QStringLiteral("printed"))).Save(w.root.path()));
    auto *pane = w.showPage<CPreInputPane>(PageCatalog::PreInput);
    ASSERT_NE(pane, nullptr);
    ASSERT_TRUE(activate(w));

    for (const Keyed &k : kKeyed)
        keyIn(w, pane->page(), k);
    ASSERT_EQ(pane->list().rowCount(), 3) << w.prompter.texts().join(u'\n').toStdString();
    const QString kind = w.context().baseData().kindNames().value(0);
    ASSERT_FALSE(kind.isEmpty());
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(pane->list().cell(row, 9), kind) << "picked with Alt+K";

    // 全选 on the toolbar, then F3.
    auto *toolbar = w.frame().findChild<QToolBar *>(QStringLiteral("toolbar"));
    ASSERT_NE(toolbar, nullptr);
    QTest::mouseClick(toolbar->widgetForAction(w.action(CmdSelectAll)), Qt::LeftButton);
    QApplication::setActiveWindow(&w.frame());
    w.press(Qt::Key_F3);
    EXPECT_TRUE(w.frame().uploading()) << "F3 starts the upload of the selected rows";
    ASSERT_TRUE(
        ClientWindow::waitFor([&] { return !w.frame().uploading() && !w.context().session().uploadBusy(); }, 30000));
    ASSERT_EQ(w.context().preInputs().GetCount(), 0) << pane->list().cell(0, PreInputRows::kReasonColumn).toStdString();

    ASSERT_TRUE(openDayReportFromTheMenu(w));
    auto *day = dynamic_cast<CDayReportPane *>(w.view().currentPage());
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(day->dateEdit().date(), QDate::currentDate());
    const QString totals = day->totalsLabel().text();
    EXPECT_TRUE(totals.contains(QStringLiteral("合计：3票 3件 6.750公斤"))) << totals.toStdString();
    EXPECT_TRUE(totals.contains(QStringLiteral("已上传：3票"))) << totals.toStdString();
    EXPECT_TRUE(totals.contains(QStringLiteral("未上传：0票"))) << totals.toStdString();
    const DayReport &report = day->report();
    ASSERT_EQ(report.byPayWay().size(), 3u);
    EXPECT_EQ(report.byPayWay().at(QStringLiteral("现付")).count, 1);
    EXPECT_DOUBLE_EQ(report.byPayWay().at(QStringLiteral("到付")).weight, 3.0);

    // The server holds the three (and the demo's own shipments of the day,
    // which this counter did not send).
    ASSERT_TRUE(report.server().checked) << report.server().problem.toStdString();
    EXPECT_TRUE(report.server().missingOnServer.isEmpty()) << report.server().missingOnServer.join(u' ').toStdString();
    for (const QString &n : report.server().unknownLocally)
        EXPECT_FALSE(n.startsWith(QStringLiteral("DR25"))) << n.toStdString();
    EXPECT_EQ(day->reconciliationLabel().text(), QStringLiteral("服务器上有 %1 条，本机上传 3 条，差异 %2")
                                                     .arg(report.server().count)
                                                     .arg(report.server().unknownLocally.size()));
    EXPECT_EQ(barTotal(*day->charts().hourChart()), 3);
    EXPECT_TRUE(wholeCountTicks(*day->charts().hourChart(), 3));
    EXPECT_TRUE(day->captionText().endsWith(QStringLiteral("共 3 条记录"))) << "the totals row is no record";
    EXPECT_NEAR(pieTotal(*day->charts().kindChart()), 6.75, 1e-9);
    EXPECT_EQ(day->list().rowCount(), 3 + 1) << "and the totals row";

    // The toolbar's 日结 shows the same page again.
    w.showPage(PageCatalog::PreInput);
    QWidget *button = toolbar->widgetForAction(w.action(CmdShowDayReport));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(w.view().currentPage(), day);

    // The manifest, after its preview, from the page's button.
    AcceptingPreview preview;
    day->setManifestPreview(&preview);
    QTest::mouseClick(&day->manifestButton(), Qt::LeftButton);
    const QString title = QStringLiteral("交接单_") + QDate::currentDate().toString(Qt::ISODate);
    ASSERT_EQ(preview.shown, QStringList{title}) << w.prompter.lastText().toStdString();
    EXPECT_EQ(preview.pages, 1);
    ASSERT_EQ(printed(w), QStringList{title + QStringLiteral(".pdf")});
    const QList<PrintLedger::Entry> ledger = w.context().printLedger().Recent();
    ASSERT_EQ(ledger.size(), 1);
    EXPECT_EQ(ledger.first().kind, QStringLiteral("交接单"));
    EXPECT_EQ(ledger.first().templateName, QStringLiteral("默认交接单"));
    const QString pdf = w.root.file(QStringLiteral("printed/") + printed(w).first());
    EXPECT_EQ(QFileInfo(ledger.first().pdf).canonicalFilePath(), QFileInfo(pdf).canonicalFilePath());
    const QString text = pdfText(pdf);
    for (const Keyed &k : kKeyed)
        EXPECT_TRUE(text.contains(QString::fromLatin1(k.number))) << k.number << "\n" << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("合计\\s+3\\s*票")))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("6.750"))) << text.toStdString();
    EXPECT_TRUE(w.frame().operationText().contains(QStringLiteral("交接单已打印")))
        << w.frame().operationText().toStdString();
}

TEST(DayReportWindow, ADamagedLedgerLineIsNamedWithItsFileAndTheRestOfTheDayCounts)
{
    const QDate today = QDate::currentDate();
    QString file;
    ClientWindow w(shownWindow(false, [&](TempRoot &root) {
        UploadLedger ledger(root.file(UploadLedger::folderName()));
        QList<UploadLedgerEntry> entries;
        for (int i = 1; i <= 3; ++i) {
            PreInputRecord r{};
            r.iid = i;
            r.ddate = {static_cast<unsigned short>(today.year()), static_cast<unsigned char>(today.month()),
                       static_cast<unsigned char>(today.day())};
            r.npayway = 1;
            r.npieces = 1;
            r.fweight = 2;
            r.ffee = 10;
            Gbk::setField(r.cnum, QStringLiteral("DL%1").arg(i));
            Gbk::setField(r.cdes, QStringLiteral("北京"));
            entries << UploadLedgerEntry::OfShipment(r, quint64(i),
                                                     {QDateTime(today, QTime(9, i)), 0, QStringLiteral("demo")});
        }
        ledger.Record(entries);
        file = ledger.FileOf(today);
        // A kill cut the last line short.
        QFile f(file);
        if (f.open(QIODevice::Append))
            f.write(entries.first().Line().left(30));
    }));
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(QFileInfo::exists(file));
    w.showPage(PageCatalog::DayReport);
    auto *day = dynamic_cast<CDayReportPane *>(w.view().currentPage());
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(day->report().uploaded().count, 3);
    EXPECT_TRUE(day->totalsLabel().text().contains(QStringLiteral("已上传：3票")))
        << day->totalsLabel().text().toStdString();
    ASSERT_FALSE(w.prompter.texts().isEmpty());
    const QString warning = w.prompter.lastText();
    EXPECT_TRUE(warning.contains(file)) << warning.toStdString();
    EXPECT_TRUE(warning.contains(QStringLiteral("第 4 行"))) << warning.toStdString();
    EXPECT_EQ(day->reconciliationLabel().text(), DayReport::NeedsLoginText());
}

namespace {

constexpr int kBusyDay = 5000;

// A busy counter's day: the ledger of 5,000 accepted shipments, spread over
// the working hours, kinds and destinations, as the uploads wrote it.
void writeBusyDay(TempRoot &root, QDate day)
{
    const QString kinds[] = {QStringLiteral("特快专递"), QStringLiteral("经济快递"), QStringLiteral("同城快递")};
    const QString places[][2] = {{QStringLiteral("北京"), QStringLiteral("北京")},
                                 {QStringLiteral("广东广州"), QStringLiteral("广东")},
                                 {QStringLiteral("上海"), QStringLiteral("上海")},
                                 {QStringLiteral("浙江杭州"), QStringLiteral("浙江")}};
    QList<UploadLedgerEntry> entries;
    for (int i = 1; i <= kBusyDay; ++i) {
        PreInputRecord r{};
        r.iid = i;
        r.ddate = {static_cast<unsigned short>(day.year()), static_cast<unsigned char>(day.month()),
                   static_cast<unsigned char>(day.day())};
        r.npayway = i % 3;
        r.npieces = 1 + i % 2;
        r.fweight = 0.5 + (i % 7) * 0.25;
        r.ffee = 10 + i % 5;
        Gbk::setField(r.cnum, QStringLiteral("DB%1").arg(i, 8, 10, QLatin1Char('0')));
        Gbk::setField(r.cemskind, kinds[i % 3]);
        Gbk::setField(r.cdes, places[i % 4][0]);
        Gbk::setField(r.creceiverprov, places[i % 4][1]);
        const QDateTime at(day, QTime(8, 0).addSecs(i * 7));
        entries << UploadLedgerEntry::OfShipment(r, quint64(i), {at, 100000 + i, QStringLiteral("demo")});
    }
    UploadLedger(root.file(UploadLedger::folderName())).Record(entries);
}

int pdfPages(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(30000);
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
            .match(QString::fromUtf8(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

} // namespace

TEST(DayReportWindow, ABusyDayOpensWithinASecondAndItsManifestIsOneDocumentOfManyPages)
{
    const QDate today = QDate::currentDate();
    ClientWindow w(shownWindow(false, [&](TempRoot &root) { writeBusyDay(root, today); }));
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(PrintDestination::Folder(w.root.file(QStringLiteral("printed"))).Save(w.root.path()));
    ASSERT_TRUE(activate(w));

    // From the menu entry to the page painted with the day read.
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(openDayReportFromTheMenu(w));
    auto *day = dynamic_cast<CDayReportPane *>(w.view().currentPage());
    ASSERT_NE(day, nullptr);
    w.frame().repaint();
    const qint64 opened = clock.elapsed();
    EXPECT_EQ(day->report().uploaded().count, kBusyDay);
    EXPECT_EQ(day->list().rowCount(), kBusyDay + 1) << "and the totals row";
    EXPECT_EQ(barTotal(*day->charts().hourChart()), kBusyDay);
    EXPECT_TRUE(wholeCountTicks(*day->charts().hourChart(), 1));
    EXPECT_TRUE(day->captionText().endsWith(QStringLiteral("共 5000 条记录")));
    EXPECT_LT(opened, 1000) << "the page took " << opened << " ms";

    // Shown again later (another day and back), it reads the day afresh.
    clock.restart();
    day->ShowDay(today.addDays(-1));
    EXPECT_EQ(day->report().uploaded().count, 0);
    day->ShowDay(today);
    w.frame().repaint();
    const qint64 again = clock.elapsed();
    EXPECT_EQ(day->report().uploaded().count, kBusyDay);
    EXPECT_LT(again, 1000) << "another day and back took " << again << " ms";
    std::cout << "[ figures  ] 日结 of " << kBusyDay << " shipments: opened in " << opened
              << " ms, another day and back in " << again << " ms\n";

    AcceptingPreview preview;
    day->setManifestPreview(&preview);
    clock.restart();
    QTest::mouseClick(&day->manifestButton(), Qt::LeftButton);
    const qint64 printing = clock.elapsed();
    ASSERT_EQ(preview.shown.size(), 1) << w.prompter.lastText().toStdString();
    const QStringList files = printed(w);
    ASSERT_EQ(files.size(), 1) << "one document";
    const QString pdf = w.root.file(QStringLiteral("printed/") + files.first());
    const int pages = pdfPages(pdf);
    EXPECT_GT(pages, 1);
    EXPECT_EQ(preview.pages, pages) << "the preview showed every page";
    ASSERT_EQ(w.context().printLedger().Recent().size(), 1);
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("DB00000001"))) << "the first shipment";
    EXPECT_TRUE(text.contains(QStringLiteral("DB00005000"))) << "and the last";
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("合计\\s+5000\\s*票")))) << "the totals row";
    EXPECT_TRUE(text.contains(QStringLiteral("收件人(快递员)签字"))) << "the signatures after the list";
    const QString second = pdfText(pdf, 2);
    EXPECT_TRUE(second.contains(QRegularExpression(QStringLiteral("序号\\s+运单号\\s+目的地"))))
        << "each page starts with the column heads\n"
        << second.left(400).toStdString();
    std::cout << "[ figures  ] manifest of " << kBusyDay << " shipments: " << pages << " pages in one PDF, printed in "
              << printing << " ms\n";
}
