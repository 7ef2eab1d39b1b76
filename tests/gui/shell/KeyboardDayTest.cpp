#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "preinput/CLinkLabel.h"
#include "preinput/CListChooseDlg.h"
#include "preinput/CPreInputPage.h"
#include "preinput/CPreInputPane.h"
#include "preinput/CSuggestionList.h"
#include "preinput/PreInputRows.h"
#include "scan/CCheckPage.h"
#include "scan/CCheckPane.h"
#include "shell/PageCatalog.h"
#include "support/ClientWindow.h"
#include "support/LocalShipments.h"
#include "text/Gbk.h"
#include "upload/UploadJournal.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

// The window as quarvel starts it against the demo server, shown and active
// (shortcuts need an active window), logged in, showing the pre-entry page.
struct Counter {
    Counter() : w(options())
    {
        ready = w.started() && w.login();
        if (!ready)
            return;
        w.context().SavePromptPhrases(QStringLiteral("深圳宝安\r\n广州白云\r\n上海浦东"));
        w.context().LoadPromptPhrases(w.prompter);
        pane = w.showPage<CPreInputPane>(PageCatalog::PreInput);
        w.frame().activateWindow();
        QApplication::setActiveWindow(&w.frame());
        pane->NewRecord();
        w.prompter.clear();
    }

    static ClientWindow::Options options()
    {
        ClientWindow::Options o;
        o.show = true;
        o.testHooks = false;
        return o;
    }

    CPreInputPage &page() { return pane->page(); }
    QLineEdit *edit(const char *field) { return page().edit(QString::fromLatin1(field)); }
    // The keys go to this field of the active window (a closed dialog may
    // leave no window active on the test platform).
    QLineEdit *focus(const char *field)
    {
        QApplication::setActiveWindow(&w.frame());
        edit(field)->setFocus();
        return edit(field);
    }

    ClientWindow w;
    bool ready = false;
    CPreInputPane *pane = nullptr;
};

// Runs `keys` on the next modal dialog once it shows, then `open`, which
// shows it. A dialog still open a few seconds later is closed, so that a
// dialog that ignores its keys fails the test instead of hanging it. Returns
// the class of the dialog that was driven ("" when none showed).
QString driveNextDialog(const std::function<void()> &open, const std::function<void(QDialog &)> &keys)
{
    QString seen;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = QString::fromLatin1(dialog->metaObject()->className());
        keys(*dialog);
    });
    bool forced = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            forced = true;
            dialog->reject();
        }
    });
    guard.start(4000);
    open();
    return forced ? seen + QStringLiteral(" (did not close)") : seen;
}

QWidget *focusOf(QDialog &dialog)
{
    return dialog.focusWidget() ? dialog.focusWidget() : &dialog;
}

} // namespace

TEST(KeyboardDayGui, PickersTakeTheHighlightedEntryFromTheKeyboard)
{
    Counter c;
    ASSERT_TRUE(c.ready);
    const QStringList kinds = c.w.context().baseData().kindNames();
    ASSERT_GE(kinds.size(), 3);

    // Alt+K opens the express kinds; Down twice, Up once, Return: the second.
    const QString picker = driveNextDialog([&] { QTest::keyClick(c.focus("cfrom"), Qt::Key_K, Qt::AltModifier); },
                                           [](QDialog &d) {
                                               QWidget *list = static_cast<CListChooseDlg &>(d).list();
                                               EXPECT_EQ(d.focusWidget(), list);
                                               QTest::keyClick(list, Qt::Key_Down);
                                               QTest::keyClick(list, Qt::Key_Down);
                                               QTest::keyClick(list, Qt::Key_Up);
                                               QTest::keyClick(list, Qt::Key_Return);
                                           });
    EXPECT_EQ(picker, QStringLiteral("quarvel::CListChooseDlg"));
    EXPECT_EQ(c.edit("cemskind")->text(), kinds.at(1));

    // F9 in the departure opens the phrases; the third is taken.
    driveNextDialog([&] { QTest::keyClick(c.focus("cfrom"), Qt::Key_F9); },
                    [](QDialog &d) {
                        QWidget *list = static_cast<CListChooseDlg &>(d).list();
                        QTest::keyClick(list, Qt::Key_End);
                        QTest::keyClick(list, Qt::Key_Enter);
                    });
    EXPECT_EQ(c.edit("cfrom")->text(), QStringLiteral("上海浦东"));
    EXPECT_TRUE(c.page().caption(QStringLiteral("出发地:"))->toolTip().contains(QStringLiteral("F9")));
    EXPECT_TRUE(c.page().caption(QStringLiteral("重量:"))->toolTip().contains(QStringLiteral("Alt+W")));

    // Esc leaves the picker and the kind as they were.
    driveNextDialog([&] { QTest::keyClick(c.focus("cfrom"), Qt::Key_K, Qt::AltModifier); },
                    [](QDialog &d) {
                        QTest::keyClick(static_cast<CListChooseDlg &>(d).list(), Qt::Key_Down);
                        QTest::keyClick(static_cast<CListChooseDlg &>(d).list(), Qt::Key_Escape);
                    });
    EXPECT_EQ(c.edit("cemskind")->text(), kinds.at(1));
}

TEST(KeyboardDayGui, EveryDialogClosesOnEscapeChangingNothing)
{
    Counter c;
    ASSERT_TRUE(c.ready);
    c.edit("ffee")->setText(QStringLiteral("12.50"));
    c.page().readValues();
    const auto typeAndEscape = [](QDialog &d) {
        QTest::keyClicks(focusOf(d), QStringLiteral("9"));
        QTest::keyClick(focusOf(d), Qt::Key_Escape);
    };
    const QByteArray settings = c.w.root.read(QStringLiteral("prgset.dat"));
    const QByteArray phrases = c.w.root.read(QStringLiteral("prompt.dat"));
    const QByteArray scale = c.w.root.read(QStringLiteral("balanceset.ini"));

    // The page's own dialogs, reached by their keys.
    EXPECT_EQ(driveNextDialog([&] { QTest::keyClick(c.focus("fweight"), Qt::Key_W, Qt::AltModifier); }, typeAndEscape),
              QStringLiteral("quarvel::CPieceWeightDlg"));
    EXPECT_TRUE(c.page().form().pieceLines().empty());
    EXPECT_FALSE(c.page().form().pieceLinesChanged());
    EXPECT_EQ(driveNextDialog([&] { QTest::keyClick(c.focus("fweight"), Qt::Key_G, Qt::AltModifier); }, typeAndEscape),
              QStringLiteral("quarvel::CGoodsDlg"));
    EXPECT_TRUE(c.page().form().goodsLines().empty());
    EXPECT_EQ(driveNextDialog([&] { QTest::keyClick(c.focus("fweight"), Qt::Key_C, Qt::AltModifier); }, typeAndEscape),
              QStringLiteral("quarvel::CCollectDlg"));
    EXPECT_EQ(c.page().form().cod(), 0.0);

    // The frame's dialogs, from their menu entries.
    const std::pair<Command, const char *> frameDialogs[] = {{CmdProgramSettings, "quarvel::CSettingsDlg"},
                                                             {CmdPromptPhrases, "quarvel::CPromptDlg"},
                                                             {CmdScaleSettings, "quarvel::CScaleDlg"},
                                                             {CmdLogin, "quarvel::CLoginDlg"},
                                                             {CmdChooseWaybillTemplate, "quarvel::CTemplateChooseDlg"},
                                                             {CmdPrintHistory, "quarvel::CPrintHistoryDlg"}};
    for (const auto &[command, name] : frameDialogs)
        EXPECT_EQ(driveNextDialog([&, command = command] { c.w.action(command)->trigger(); }, typeAndEscape),
                  QString::fromLatin1(name));
    EXPECT_EQ(c.w.root.read(QStringLiteral("prgset.dat")), settings);
    EXPECT_EQ(c.w.root.read(QStringLiteral("prompt.dat")), phrases);
    EXPECT_EQ(c.w.root.read(QStringLiteral("balanceset.ini")), scale);
    EXPECT_TRUE(c.w.context().session().loggedIn()) << "an escaped login dialog keeps the session";

    // The query dialog of the server's records.
    c.w.showPage(PageCatalog::RecordCheck);
    EXPECT_EQ(driveNextDialog([&] { c.w.action(CmdQuery)->trigger(); }, typeAndEscape),
              QStringLiteral("quarvel::CRecordQueryDlg"));
    EXPECT_EQ(c.pane->page().form().values().ffee, 12.5);
}

TEST(KeyboardDayGui, ACityIsFoundWithoutItsProvinceAndAnUnknownOneIsNamed)
{
    Counter c;
    ASSERT_TRUE(c.ready);
    CPreInputPage &page = c.page();
    QLineEdit *des = c.edit("cdes");
    des->setFocus();
    typeInto(des, QStringLiteral("广州"));
    ASSERT_TRUE(page.suggestions()->isVisible());
    EXPECT_TRUE(page.suggestions()->item(0)->text().startsWith(QStringLiteral("广东广州")));
    QTest::keyClick(des, Qt::Key_Return);
    EXPECT_EQ(des->text(), QStringLiteral("广东广州"));
    EXPECT_EQ(c.edit("creceiverprov")->text(), QStringLiteral("广东"));
    EXPECT_EQ(c.edit("creceivercity")->text(), QStringLiteral("广州"));
    EXPECT_EQ(c.edit("creceivercountry")->text(), QStringLiteral("中国"));

    // Typed and left without a pick: the save takes the base data's name.
    page.NewRecord();
    c.edit("cdes")->setText(QStringLiteral("北京市"));
    c.edit("creceiver")->setText(QStringLiteral("李四"));
    c.edit("cphone")->setText(QStringLiteral("01066668888"));
    static_cast<QPlainTextEdit *>(page.control(QStringLiteral("creceiveraddr")))
        ->setPlainText(QStringLiteral("朝阳区建国路1号"));
    c.w.press(Qt::Key_F2);
    ASSERT_EQ(c.pane->list().rowCount(), 1) << c.w.prompter.lastText().toStdString();
    const PreInputRecord *saved = c.w.context().preInputs().Find(c.pane->list().GetRowId(0));
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(Gbk::field(saved->cdes), QStringLiteral("北京"));
    EXPECT_EQ(Gbk::field(saved->creceiverprov), QStringLiteral("北京"));

    // A destination the base data does not know is refused by name.
    c.edit("cdes")->setText(QStringLiteral("火星"));
    c.edit("creceiver")->setText(QStringLiteral("王五"));
    c.edit("cphone")->setText(QStringLiteral("01066668889"));
    static_cast<QPlainTextEdit *>(page.control(QStringLiteral("creceiveraddr")))
        ->setPlainText(QStringLiteral("朝阳区建国路2号"));
    c.w.press(Qt::Key_F2);
    EXPECT_TRUE(c.w.prompter.lastText().startsWith(QStringLiteral("目的地不在基本数据中：火星")))
        << c.w.prompter.lastText().toStdString();
    EXPECT_EQ(c.pane->list().rowCount(), 1);
}

TEST(KeyboardDayGui, ExitWithAHalfTypedShipmentAsksFirst)
{
    Counter c;
    ASSERT_TRUE(c.ready);
    c.edit("creceiver")->setFocus();
    typeInto(c.edit("creceiver"), QStringLiteral("赵六"));
    c.w.prompter.queueSaveChoice(Prompter::SaveChoice::Cancel);
    c.w.action(CmdExit)->trigger();
    EXPECT_TRUE(c.w.frame().isVisible()) << "the operator chose to stay";
    EXPECT_EQ(c.w.prompter.lastText(), QStringLiteral("新记录还没有保存。\r\n保存这条记录吗？"));
    EXPECT_EQ(c.edit("creceiver")->text(), QStringLiteral("赵六"));

    c.w.prompter.queueSaveChoice(Prompter::SaveChoice::Discard);
    c.w.action(CmdExit)->trigger();
    EXPECT_FALSE(c.w.frame().isVisible());
    EXPECT_EQ(c.w.context().preInputs().GetCount(), 0);
}

TEST(KeyboardDayGui, EachScanTakesTheTimeItIsSaved)
{
    Counter c;
    ASSERT_TRUE(c.ready);
    QDateTime now(QDate(2026, 12, 7), QTime(21, 55));
    c.w.context().setClock([&now] { return now; });
    c.w.action(CmdShowScan)->trigger();
    auto *scans = dynamic_cast<CCheckPane *>(c.w.view().page(PageCatalog::Scan));
    ASSERT_NE(scans, nullptr);
    CCheckPage &page = scans->page();
    page.NewScan();
    QLineEdit *number = page.numberField();
    number->setFocus();
    const auto scan = [&](const QString &n) {
        typeInto(number, n);
        QTest::keyClick(number, Qt::Key_Return);
    };
    scan(QStringLiteral("TM00000001"));
    now = now.addSecs(61);
    scan(QStringLiteral("TM00000002"));
    now = now.addSecs(3600);
    // A page left open shows the time moving on.
    QTest::qWait(5500);
    EXPECT_EQ(page.field(QStringLiteral("time"))->text(), QStringLiteral("2026-12-07 22:56"));
    scan(QStringLiteral("TM00000003"));
    CheckFile &file = c.w.context().checks();
    ASSERT_EQ(file.GetCount(), 3) << c.w.prompter.lastText().toStdString();
    EXPECT_STREQ(file.FindLastByNumber("TM00000001")->cdate, "2026-12-07 21:55");
    EXPECT_STREQ(file.FindLastByNumber("TM00000002")->cdate, "2026-12-07 21:56");
    EXPECT_STREQ(file.FindLastByNumber("TM00000003")->cdate, "2026-12-07 22:56");
}

TEST(KeyboardDayGui, WhyARecordStayedIsShownAgainAfterARestart)
{
    // An earlier run refused one record and its reason was kept.
    int refused = 0;
    ClientWindow::Options o;
    o.server = false;
    o.prepare = [&refused](TempRoot &root) {
        ClientContext before(root.path());
        ScriptedPrompter quiet;
        if (!before.Start(quiet))
            return;
        refused = LocalShipments::add(before, LocalShipments::shipment(QStringLiteral("RS0000001")), {}, {});
        const int edited = LocalShipments::add(before, LocalShipments::shipment(QStringLiteral("RS0000002")), {}, {});
        before.uploadResults().Refused(UploadKind::Shipments, refused,
                                       before.RecordDigest(UploadKind::Shipments, refused), QStringLiteral("单号重复"));
        before.uploadResults().Refused(UploadKind::Shipments, edited,
                                       before.RecordDigest(UploadKind::Shipments, edited), QStringLiteral("数据错误"));
        before.uploadResults().Save();
        // Edited after the refusal: its old reason no longer applies.
        Gbk::setField(before.preInputs().Find(edited)->cremark, QStringLiteral("改过"));
        before.Shutdown();
    };
    ClientWindow w(o);
    ASSERT_TRUE(w.started());
    auto *pane = w.showPage<CPreInputPane>(PageCatalog::PreInput);
    ASSERT_EQ(pane->list().rowCount(), 2);
    const int row = pane->list().FindRowById(refused);
    ASSERT_GE(row, 0);
    EXPECT_EQ(pane->list().cell(row, PreInputRows::kReasonColumn), QStringLiteral("单号重复"));
    EXPECT_EQ(pane->list().row(row).text, CPreInputPane::kRefusedText);
    EXPECT_NE(pane->list().row(1 - row).text, CPreInputPane::kRefusedText);
}
