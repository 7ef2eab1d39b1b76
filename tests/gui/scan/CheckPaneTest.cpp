#include "ScannerKeys.h"
#include "scan/CCheckPage.h"
#include "scan/CCheckPane.h"
#include "scan/ScanRows.h"
#include "shell/PageCatalog.h"
#include "support/ClientWindow.h"
#include "support/TarvoData.h"
#include "support/TarvoSeed.h"
#include "upload/UploadController.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

// The desktop client at a checkpoint: started as quarvel starts, logged in
// as the demo checkpoint, its scan page shown through the frame's command,
// the waybill field holding the focus as the scanner needs it.
struct Checkpoint {
    explicit Checkpoint(int shipments)
    {
        if (!w.started())
            return;
        TarvoSeed seed(w.server.dataFile());
        ready = seed.addShipments("SC", shipments) && w.login(QStringLiteral("check"), QStringLiteral("check"));
        w.action(CmdShowScan)->trigger();
        pane = dynamic_cast<CCheckPane *>(w.view().page(PageCatalog::Scan));
        ready = ready && pane;
        if (!ready)
            return;
        w.frame().activateWindow();
        QApplication::setActiveWindow(&w.frame());
        pane->NewRecord();
        field()->setFocus();
        keys = std::make_unique<ScannerKeys>(w.frame().windowHandle());
        w.prompter.clear(); // the login's own message
    }

    static ClientWindow::Options options()
    {
        ClientWindow::Options o;
        o.show = true;
        return o;
    }

    CCheckPage &page() { return pane->page(); }
    QLineEdit *field() { return page().numberField(); }
    RecordListModel &rows() { return pane->list(); }
    int records() { return w.context().checks().GetCount(); }
    static QString number(int i) { return QStringLiteral("SC%1").arg(i, 6, 10, QLatin1Char('0')); }
    // Delivers every key posted so far.
    void deliver()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    bool upload()
    {
        w.action(CmdSelectAll)->trigger();
        w.frame().uploadButton()->trigger();
        return ClientWindow::waitFor([this] { return !w.frame().uploading(); }, 60000);
    }
    TarvoData server() { return TarvoData(w.server.dataFile()); }

    ClientWindow w{options()};
    bool ready = false;
    CCheckPane *pane = nullptr;
    std::unique_ptr<ScannerKeys> keys;
};

TEST(CheckPaneGui, FiveHundredScansAtScannerSpeedThenUploadedWithOneRefusal)
{
    Checkpoint c(499);
    ASSERT_TRUE(c.ready);
    EXPECT_EQ(c.pane->captionText(), QStringLiteral("●检查点扫描记录列表  共 0 条记录"));
    for (int i = 1; i <= 499; ++i) {
        c.keys->scan(Checkpoint::number(i));
        c.keys->wait(100);
    }
    c.keys->scan(QStringLiteral("D1010000003")); // signed for already: the server refuses it
    c.deliver();

    EXPECT_EQ(c.rows().rowCount(), 500);
    EXPECT_EQ(c.records(), 500);
    EXPECT_EQ(c.page().sessionScans(), 500);
    EXPECT_EQ(c.page().sessionRefusals(), 0) << c.page().lastRefusal().toStdString();
    EXPECT_TRUE(c.w.prompter.shown().isEmpty()) << "no message box while scanning";
    EXPECT_EQ(QApplication::focusWidget(), c.field()) << "the focus stayed in the waybill field";
    EXPECT_TRUE(c.field()->text().isEmpty());
    EXPECT_EQ(c.rows().cell(0, ScanRows::kNumberColumn), QStringLiteral("SC000001"));
    EXPECT_EQ(c.rows().cell(499, 0), QStringLiteral("500"));
    EXPECT_EQ(c.rows().cell(499, ScanRows::kKindColumn), QStringLiteral("到站"));
    EXPECT_EQ(c.pane->captionText(), QStringLiteral("●检查点扫描记录列表  共 500 条记录"));
    for (int i = 0; i < 500; ++i)
        ASSERT_EQ(c.rows().GetRowId(i), c.w.context().checks().At(i)->iid) << "row " << i << " is its record";

    ASSERT_TRUE(c.upload());
    ASSERT_EQ(c.rows().rowCount(), 1) << "the accepted rows went";
    EXPECT_EQ(c.rows().cell(0, ScanRows::kNumberColumn), QStringLiteral("D1010000003"));
    EXPECT_EQ(c.rows().cell(0, ScanRows::kReasonColumn), QStringLiteral("已送达"));
    EXPECT_EQ(c.rows().row(0).text, CCheckPane::kRefusedText);
    EXPECT_TRUE(c.pane->listCtrl().selectedRowIndexes().isEmpty()) << "unselected, so the refused row shows red";
    EXPECT_EQ(c.records(), 1);
    EXPECT_EQ(c.server().text("SELECT COUNT(*) FROM check_detail"), "499");
    EXPECT_EQ(c.server().text("SELECT COUNT(*) FROM client_rec WHERE cnum LIKE 'SC%' AND nstate = 2"), "499");
    EXPECT_EQ(c.server().text("SELECT cstation FROM check_detail WHERE cnum = 'SC000250'"), "SZX01");
}

TEST(CheckPaneGui, ScannerJunkIsRefusedOnThePageAndTheNextScanGoesThrough)
{
    Checkpoint c(10);
    ASSERT_TRUE(c.ready);
    QStringList refusals;
    QObject::connect(&c.page(), &CCheckPage::scanRefused, [&](const QString &text) { refusals << text; });

    c.keys->scan(QStringLiteral("SC000001"), false);
    c.keys->control(0x1d); // a GS1 separator inside the scan
    c.keys->scan(QStringLiteral("77"));
    c.keys->wait(150);
    c.keys->scan(QStringLiteral("SC000002"), false); // its Enter was lost ...
    c.keys->wait(150);
    c.keys->scan(QStringLiteral("SC000003")); // ... so the next number sticks to it
    c.keys->wait(150);
    c.keys->scan(QString(500, u'7'), false); // 500 characters without Enter
    c.keys->wait(150);
    c.keys->scan(QStringLiteral("SC000004"));
    c.keys->wait(150);
    c.keys->scan(QStringLiteral("SCก00005")); // not GBK
    c.keys->wait(150);
    c.keys->scan(QStringLiteral("SC000005"));
    c.deliver();

    EXPECT_EQ(refusals,
              (QStringList{QStringLiteral("[运单号]含有控制字符，不是有效的运单号，请重新扫描。"),
                           QStringLiteral("[运单号]是两次扫描连在一起的号码（前一次扫描没有回车），请重新扫描。"),
                           QStringLiteral("[运单号]长度不得超过 30 字符。"),
                           QStringLiteral("[运单号]含有不能保存的字符“ก”，请改用其他文字。")}));
    EXPECT_TRUE(c.w.prompter.shown().isEmpty()) << "a scanner's refusal opens no box";
    EXPECT_EQ(c.records(), 2);
    EXPECT_EQ(c.rows().cell(0, ScanRows::kNumberColumn), QStringLiteral("SC000004"));
    EXPECT_EQ(c.rows().cell(1, ScanRows::kNumberColumn), QStringLiteral("SC000005"));
    EXPECT_EQ(c.page().sessionScans(), 2);
    EXPECT_EQ(c.page().sessionRefusals(), 4);
    EXPECT_TRUE(c.field()->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), c.field());
    EXPECT_TRUE(c.page().resultLabel()->text().contains(QStringLiteral("SC000005 已保存")));

    // A scanner that ends its numbers with Tab: saved, and the focus stays.
    c.keys->wait(150);
    c.keys->scanWithTab(QStringLiteral("SC000006"));
    c.deliver();
    EXPECT_EQ(c.records(), 3);
    EXPECT_EQ(QApplication::focusWidget(), c.field());

    // A duplicate scan is refused on the page too, in colour.
    c.keys->wait(150);
    c.keys->scan(QStringLiteral("SC000005"));
    c.deliver();
    EXPECT_EQ(refusals.last(), QStringLiteral("相同运单号的扫描记录已经存在。"));
    EXPECT_TRUE(c.page().resultLabel()->text().contains(QStringLiteral("相同运单号的扫描记录已经存在。")));
    EXPECT_TRUE(c.page().resultLabel()->styleSheet().contains(QStringLiteral("#d00000")));
    EXPECT_TRUE(c.page().countLabel()->text().contains(QStringLiteral("本次扫描: 3 件")));
    EXPECT_EQ(c.records(), 3);
}

TEST(CheckPaneGui, ATypedEntryGetsTheMessageBoxAndKeepsItsText)
{
    Checkpoint c(3);
    ASSERT_TRUE(c.ready);
    c.keys->type(QStringLiteral("SC01"));
    c.deliver();
    ASSERT_EQ(c.w.prompter.shown().size(), 1);
    EXPECT_EQ(c.w.prompter.shown().last().title, QStringLiteral("数据错误"));
    EXPECT_EQ(c.w.prompter.lastText(), QStringLiteral("[运单号]不得短于 7 字符。"));
    EXPECT_EQ(c.field()->text(), QStringLiteral("SC01")) << "kept for the operator to correct";
    EXPECT_EQ(c.field()->selectedText(), QStringLiteral("SC01"));
    c.keys->type(QStringLiteral("sc000001"));
    c.deliver();
    EXPECT_EQ(c.records(), 1);
    EXPECT_EQ(c.rows().cell(0, ScanRows::kNumberColumn), QStringLiteral("SC000001"));

    // Ctrl+S in the empty field after a scan: the message, but no unsaved scan counted.
    const int refusalsBefore = c.page().sessionRefusals();
    QTest::keyClick(c.field(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(c.w.prompter.lastText(), QStringLiteral("[运单号]不得短于 7 字符。"));
    EXPECT_EQ(c.page().sessionRefusals(), refusalsBefore);
    EXPECT_TRUE(c.page().resultLabel()->text().contains(QStringLiteral("SC000001 已保存")));

    // Ctrl+S saves like Enter; a signature without a signer is refused by its message.
    c.page().categoryButton(CheckValues::Signature)->click();
    EXPECT_EQ(QApplication::focusWidget(), c.page().field(QStringLiteral("signer")));
    c.field()->setText(QStringLiteral("SC000002"));
    c.field()->setFocus();
    QTest::keyClick(c.field(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(c.w.prompter.lastText(), QStringLiteral("[签收人]不得短于 1 字符。"));
    c.page().field(QStringLiteral("signer"))->setText(QStringLiteral("王五"));
    QTest::keyClick(c.field(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(c.records(), 2);
    EXPECT_EQ(c.rows().cell(1, ScanRows::kKindColumn), QStringLiteral("签收"));
    EXPECT_EQ(c.rows().cell(1, 9), QStringLiteral("王五"));
    EXPECT_EQ(c.rows().cell(1, ScanRows::kSignTimeColumn).size(), 19) << "a saved row shows the whole signing time";
    c.w.action(CmdRefresh)->trigger();
    EXPECT_EQ(c.rows().cell(1, ScanRows::kSignTimeColumn).size(), 16) << "a filled list its first 16 characters";
}

TEST(CheckPaneGui, ARowOpensItsScanWhichIsRewrittenOrDeleted)
{
    Checkpoint c(3);
    ASSERT_TRUE(c.ready);
    for (int i = 1; i <= 3; ++i) {
        c.keys->scan(Checkpoint::number(i));
        c.keys->wait(100);
    }
    c.deliver();
    ASSERT_EQ(c.rows().rowCount(), 3);
    const int id = c.rows().GetRowId(1);
    c.pane->OpenRow(1);
    EXPECT_EQ(c.page().titleLabel()->text(), QStringLiteral("修改检查点信息:%1").arg(id));
    EXPECT_TRUE(c.w.action(CmdDelete)->isEnabled());
    c.page().field(QStringLiteral("place"))->setText(QStringLiteral("广州"));
    c.w.action(CmdSave)->trigger();
    EXPECT_EQ(c.rows().rowCount(), 3);
    EXPECT_EQ(c.rows().cell(1, 4), QStringLiteral("广州")) << "the row was rewritten in place";
    EXPECT_EQ(c.page().titleLabel()->text(), QStringLiteral("检查点信息扫描"));

    c.pane->OpenRow(0);
    c.w.prompter.queueAnswer(true);
    c.w.action(CmdDelete)->trigger();
    EXPECT_EQ(c.w.prompter.shown().last().title, QStringLiteral("确认提示"));
    ASSERT_EQ(c.rows().rowCount(), 2);
    EXPECT_EQ(c.rows().cell(0, 0), QStringLiteral("1")) << "renumbered";
    EXPECT_EQ(c.rows().cell(0, ScanRows::kNumberColumn), QStringLiteral("SC000002"));
    EXPECT_EQ(c.records(), 2);
    EXPECT_EQ(c.pane->captionText(), QStringLiteral("●检查点扫描记录列表  共 2 条记录"));
}

TEST(CheckPaneGui, ScanningWhileAnUploadRunsLosesNothingAndSendsNothingTwice)
{
    Checkpoint c(300);
    ASSERT_TRUE(c.ready);
    for (int i = 1; i <= 200; ++i) {
        c.keys->scan(Checkpoint::number(i));
        c.keys->wait(100);
    }
    c.deliver();
    ASSERT_EQ(c.records(), 200);
    // A slow server: the upload of the first 200 takes seconds.
    ASSERT_TRUE(c.w.server.setHooks("op=4 times=200 stall 0.01"));
    c.w.action(CmdSelectAll)->trigger();
    c.w.frame().uploadButton()->trigger();
    ASSERT_TRUE(c.w.frame().uploading());
    int next = 201;
    while (c.w.frame().uploading() && next <= 300) {
        c.keys->scan(Checkpoint::number(next++));
        c.keys->wait(100);
        c.deliver();
    }
    EXPECT_GT(next, 230) << "scans were made while the upload ran";
    for (; next <= 300; ++next) {
        c.keys->scan(Checkpoint::number(next));
        c.keys->wait(100);
    }
    c.deliver();
    ASSERT_TRUE(ClientWindow::waitFor([&] { return !c.w.frame().uploading(); }, 60000));
    EXPECT_EQ(c.server().text("SELECT COUNT(*) FROM check_detail"), "200");
    EXPECT_EQ(c.records(), 100);
    EXPECT_EQ(c.rows().rowCount(), 100);
    EXPECT_EQ(c.rows().cell(0, ScanRows::kNumberColumn), Checkpoint::number(201));
    EXPECT_EQ(QApplication::focusWidget(), c.field());

    ASSERT_TRUE(c.upload());
    EXPECT_EQ(c.server().text("SELECT COUNT(*) FROM check_detail"), "300");
    EXPECT_EQ(c.server().text("SELECT COUNT(DISTINCT cnum) FROM check_detail"), "300") << "nothing sent twice";
    EXPECT_EQ(c.records(), 0);
    EXPECT_EQ(c.rows().rowCount(), 0);
}

TEST(CheckPaneGui, UpAndDownMoveBetweenTheFieldsInUseAndEscChangesNothing)
{
    Checkpoint c(3);
    ASSERT_TRUE(c.ready);
    CCheckPage &p = c.page();
    const auto focused = [] { return QApplication::focusWidget(); };
    const auto press = [&](Qt::Key key) { QTest::keyClick(focused(), key); };
    const auto box = [&](const char *name) { return p.field(QString::fromLatin1(name)); };
    const QList<QWidget *> texts{box("time"), box("place"), box("placeEn"), box("info"), box("infoEn"), c.field()};

    // An arrival: Up from the waybill climbs the text fields and passes over
    // the locked signer, the hidden exception box and the unused next station.
    for (qsizetype i = texts.size() - 2; i >= 0; --i) {
        press(Qt::Key_Up);
        EXPECT_EQ(focused(), texts[i]) << "up to field " << i;
    }
    press(Qt::Key_Up);
    EXPECT_EQ(focused(), p.categoryButton(CheckValues::Exception));
    EXPECT_TRUE(p.categoryButton(CheckValues::Arrival)->isChecked()) << "moving over a category does not choose it";
    for (QWidget *next : texts) {
        press(Qt::Key_Down);
        EXPECT_EQ(focused(), next);
    }

    // An exception: the next station and the exception box take their turn;
    // the arrows leave the box's choice alone.
    p.categoryButton(CheckValues::Exception)->click();
    EXPECT_EQ(focused(), c.field());
    box("next")->setFocus();
    press(Qt::Key_Down);
    EXPECT_EQ(focused(), p.exceptionBox());
    const int exception = p.exceptionBox()->currentIndex();
    press(Qt::Key_Down);
    EXPECT_EQ(focused(), box("time")) << "the signer stays locked";
    press(Qt::Key_Up);
    press(Qt::Key_Up);
    EXPECT_EQ(focused(), box("next"));
    EXPECT_EQ(p.exceptionBox()->currentIndex(), exception);

    // A signature opens the signer, and the arrows stop there.
    p.categoryButton(CheckValues::Signature)->click();
    EXPECT_EQ(focused(), box("signer"));
    press(Qt::Key_Down);
    EXPECT_EQ(focused(), box("time"));
    press(Qt::Key_Up);
    EXPECT_EQ(focused(), box("signer"));
    press(Qt::Key_Return);
    EXPECT_EQ(focused(), box("time")) << "Enter moves on like Down";

    // Esc does nothing: a half-typed number stays in the field with the
    // focus, nothing is saved or refused, and the page and its form stay.
    p.categoryButton(CheckValues::Arrival)->click();
    c.keys->scan(QStringLiteral("SC00"), false, 180);
    c.deliver();
    ASSERT_EQ(focused(), c.field());
    ASSERT_EQ(c.field()->text(), QStringLiteral("SC00"));
    press(Qt::Key_Escape);
    EXPECT_EQ(focused(), c.field());
    EXPECT_EQ(c.field()->text(), QStringLiteral("SC00"));
    box("place")->setText(QStringLiteral("深圳"));
    box("place")->setFocus();
    press(Qt::Key_Escape);
    EXPECT_EQ(focused(), box("place"));
    EXPECT_EQ(box("place")->text(), QStringLiteral("深圳"));
    EXPECT_EQ(c.records(), 0);
    EXPECT_EQ(p.sessionRefusals(), 0);
    EXPECT_TRUE(c.w.prompter.shown().isEmpty());
    EXPECT_FALSE(c.pane->formHidden());
    EXPECT_EQ(c.w.view().currentPage(), c.pane);

    // The half-typed number is still there to finish.
    c.field()->setFocus();
    c.keys->scan(QStringLiteral("0001"), true, 180);
    c.deliver();
    EXPECT_EQ(c.records(), 1);
    EXPECT_EQ(c.rows().cell(0, ScanRows::kNumberColumn), QStringLiteral("SC000001"));
    EXPECT_EQ(c.rows().cell(0, 4), QStringLiteral("深圳"));
}

} // namespace
