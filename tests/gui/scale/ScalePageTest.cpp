#include "preinput/CPreInputPage.h"
#include "preinput/CPreInputPane.h"
#include "scale/ScaleDevice.h"
#include "scale/ScaleLink.h"
#include "scale/ScaleSettings.h"
#include "shell/PageCatalog.h"
#include "support/ClientWindow.h"
#include "support/ScaleFrames.h"
#include "support/ScalePty.h"

#include <QLabel>
#include <QLineEdit>

#include <atomic>

using namespace quarvel;

namespace {

// The installation's scale on the pseudo-terminal: grams in normal order
// unless another type is given.
ClientWindow::Options scaleOn(const QString &device, int enabled = 1,
                              ScaleSettings::Transmission mode = ScaleSettings::Continuous,
                              int type = ScaleSettings::Grams, int length = 8, int baud = 9600)
{
    ClientWindow::Options o;
    o.server = false;
    o.show = true;
    o.prepare = [=](TempRoot &root) {
        ScaleSettings s;
        s.enabled = enabled;
        s.type = static_cast<std::uint8_t>(type);
        s.dataLength = static_cast<std::uint8_t>(length);
        s.baud = baud;
        s.transmission = mode;
        root.write(ScaleSettings::fileName(), s.ToBytes());
        root.write(ScaleDevice::fileName(), device.toUtf8() + '\n');
    };
    return o;
}

struct PageUnderTest {
    explicit PageUnderTest(ClientWindow &w) : window(w)
    {
        pane = w.showPage<CPreInputPane>(PageCatalog::PreInput);
        w.frame().activateWindow();
        ClientWindow::waitFor([&] { return QApplication::activeWindow() == &w.frame(); }, 3000);
    }
    CPreInputPage &page() { return pane->page(); }
    QLineEdit *weight() { return page().edit(QStringLiteral("fweight")); }
    ScaleLink &link() { return window.context().scale(); }
    void enterWeight()
    {
        weight()->setFocus();
        QCoreApplication::processEvents();
    }
    void leaveWeight()
    {
        page().edit(QStringLiteral("ffee"))->setFocus();
        QCoreApplication::processEvents();
    }
    // Into the field with a click and out of it with Enter, as the operator does.
    void clickIntoWeight()
    {
        QTest::mouseClick(weight(), Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    void enterOutOfWeight()
    {
        QTest::keyClick(weight(), Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    QString mark() { return page().scaleIndicator()->isVisible() ? page().scaleIndicator()->text() : QString(); }

    ClientWindow &window;
    CPreInputPane *pane = nullptr;
};

} // namespace

TEST(ScalePage, TheWeightFieldShowsTheWeightOfAFrameAndTheMarkSaysWhenItSettled)
{
    ScalePty pty;
    ASSERT_TRUE(pty.ok()) << "socat is needed (scripts/install-deps)";
    ClientWindow w(scaleOn(pty.device()));
    ASSERT_TRUE(w.started());
    EXPECT_TRUE(w.context().scaleSettings().isEnabled()) << "read by the start-up";
    PageUnderTest t(w);
    ASSERT_EQ(QApplication::activeWindow(), &w.frame());
    EXPECT_FALSE(t.link().isOpen()) << "only while the weight field has the focus";
    t.enterWeight();
    ASSERT_TRUE(t.link().isOpen());
    EXPECT_TRUE(t.page().scaleIndicator()->isVisible());
    EXPECT_EQ(t.page().scaleIndicator()->text(), QStringLiteral("等待读数"));

    // A parcel goes on: the readings climb, then hold.
    pty.streamFrames([](long n) { return "=00" + QByteArray::number(n < 6 ? 1000 + 40 * n : 1250) + "\r"; }, 9600);
    ASSERT_TRUE(ClientWindow::waitFor([&] { return t.weight()->text() == QStringLiteral("1.250"); }, 10000))
        << t.weight()->text().toStdString();
    EXPECT_DOUBLE_EQ(t.page().form().values().fweight, 1.25);
    ASSERT_TRUE(ClientWindow::waitFor([&] { return t.page().scaleIndicator()->text() == QStringLiteral("稳定"); }));
    ASSERT_TRUE(ClientWindow::waitFor(
        [&] { return w.frame().operationText() == QStringLiteral("重量来自电子秤：1.250 公斤（已稳定）"); }));

    t.leaveWeight();
    pty.stopStream();
    EXPECT_FALSE(t.link().isOpen()) << "closed on leaving the field";
    EXPECT_FALSE(t.page().scaleIndicator()->isVisible());
    EXPECT_EQ(w.frame().operationText(), QStringLiteral("重量来自电子秤：1.250 公斤（已稳定）"));
    EXPECT_TRUE(w.prompter.shown().isEmpty());

    // A weight typed by hand did not come from the scale.
    t.weight()->setFocus();
    QCoreApplication::processEvents();
    t.weight()->selectAll();
    typeInto(t.weight(), QStringLiteral("2"));
    EXPECT_TRUE(w.frame().operationText().isEmpty());
}

TEST(ScalePage, NoReadingWhileAStoredRecordIsShownOrASaveRuns)
{
    ScalePty pty;
    ASSERT_TRUE(pty.ok());
    ClientWindow w(scaleOn(pty.device()));
    ASSERT_TRUE(w.started());
    PreInputRecord stored{};
    stored.fweight = 3.5;
    w.context().preInputs().Append(&stored);
    PageUnderTest t(w);
    ASSERT_TRUE(t.page().LoadRecord(1));
    t.enterWeight();
    EXPECT_FALSE(t.link().isOpen()) << "a stored record is never weighed";
    pty.stream("=001250\r", 9600);
    ClientWindow::waitFor([] { return false; }, 300);
    EXPECT_EQ(t.weight()->text(), QStringLiteral("3.500"));
    t.leaveWeight();

    t.page().NewRecord();
    t.enterWeight();
    ASSERT_TRUE(t.link().isOpen());
    t.page().form().setSaving(true);
    ClientWindow::waitFor([] { return false; }, 300);
    EXPECT_EQ(t.weight()->text(), QStringLiteral("0")) << "ignored while the save runs";
    t.page().form().setSaving(false);
    EXPECT_TRUE(ClientWindow::waitFor([&] { return t.weight()->text() == QStringLiteral("1.250"); }));
    pty.stopStream();
}

TEST(ScalePage, OnStableTheFieldTakesOneWeightPerVisit)
{
    ScalePty pty;
    ASSERT_TRUE(pty.ok());
    ClientWindow w(scaleOn(pty.device(), 1, ScaleSettings::OnStable));
    ASSERT_TRUE(w.started());
    PageUnderTest t(w);
    t.enterWeight();
    EXPECT_FALSE(t.page().scaleIndicator()->isVisible()) << "the scale itself says when it is stable";
    pty.streamFrames([](long n) { return "=00" + QByteArray::number(2000 + n) + "\r"; }, 9600);
    ASSERT_TRUE(ClientWindow::waitFor([&] { return t.weight()->text().startsWith(QStringLiteral("2.")); }));
    const QString first = t.weight()->text();
    EXPECT_FALSE(t.link().isOpen());
    ClientWindow::waitFor([] { return false; }, 300);
    EXPECT_EQ(t.weight()->text(), first) << "no second weight in the same visit";
    EXPECT_EQ(w.frame().operationText(), QStringLiteral("重量来自电子秤：%1 公斤").arg(first));
    t.leaveWeight();
    t.enterWeight();
    ASSERT_TRUE(ClientWindow::waitFor([&] { return t.weight()->text() != first; }));
    pty.stopStream();
}

TEST(ScalePage, TheDeviceVanishingWhileThePageListensIsToldInTheStatusPane)
{
    ScalePty pty;
    ASSERT_TRUE(pty.ok());
    ClientWindow w(scaleOn(pty.device()));
    ASSERT_TRUE(w.started());
    PageUnderTest t(w);
    t.enterWeight();
    pty.stream("=001250\r", 9600);
    ASSERT_TRUE(ClientWindow::waitFor([&] { return t.weight()->text() == QStringLiteral("1.250"); }));
    pty.stopStream();
    pty.stopSocat();
    ASSERT_TRUE(ClientWindow::waitFor([&] { return !t.link().isOpen(); }, 3000));
    EXPECT_EQ(w.frame().operationText(),
              QStringLiteral("电子秤端口 %1 连接中断：设备已断开或无法读取").arg(pty.device()));
    EXPECT_TRUE(w.prompter.shown().isEmpty()) << "no box in the middle of typing";
    EXPECT_FALSE(t.page().scaleIndicator()->isVisible());
    // The page goes on: the weight can be typed.
    t.weight()->selectAll();
    typeInto(t.weight(), QStringLiteral("2.5"));
    EXPECT_EQ(t.weight()->text(), QStringLiteral("2.5"));
    // Coming back to the field tries again and says why it cannot.
    t.leaveWeight();
    t.enterWeight();
    EXPECT_EQ(w.frame().operationText(), QStringLiteral("电子秤端口 %1 打开失败：设备不存在").arg(pty.device()));
}

TEST(ScalePage, ADisabledScaleIsNeverOpened)
{
    ScalePty pty;
    ASSERT_TRUE(pty.ok());
    ClientWindow w(scaleOn(pty.device(), 0));
    ASSERT_TRUE(w.started());
    PageUnderTest t(w);
    t.enterWeight();
    EXPECT_FALSE(t.link().isOpen());
    EXPECT_TRUE(w.frame().operationText().isEmpty());
    EXPECT_FALSE(t.page().scaleIndicator()->isVisible());
}

namespace {

// What the scale shows, as the test sets it: every family sends its frames
// for the phase the test is in.
enum Phase { Moving, Steady, Overloaded, Negative, Heavier };

QByteArray frameFor(int type, Phase phase)
{
    using namespace ScaleFrames;
    switch (type) {
    case ScaleSettings::StatusLines: {
        static const char *lines[] = {"US,GS,+0001.180kg\r\n", "ST,GS,+0001.250kg\r\n", "OL,GS,+    .  kg\r\n",
                                      "ST,GS,-0000.125kg\r\n", "ST,GS,+0002.500kg\r\n"};
        return lines[phase];
    }
    case ScaleSettings::StxEtx: {
        // The weighbridge layout has no motion flag: its moving load is a
        // status letter in the text form.
        const QByteArray frames[] = {StxEtx("+  1.180kg M"), Weighbridge('+', 1250, 3), StxEtx("  OL"),
                                     Weighbridge('-', 125, 3), Weighbridge('+', 2500, 3)};
        return frames[phase];
    }
    default: {
        const QByteArray frames[] = {Toledo(1180, 5, Kg | Motion), Toledo1250(), Toledo(999999, 5, Kg | OutOfRange),
                                     Toledo(125, 5, Kg | Minus), Toledo(2500, 5, Kg)};
        return frames[phase];
    }
    }
}

} // namespace

TEST(ScalePage, TheWeightFieldGetsTheWeightTheScaleShowsOrNone)
{
    for (int type : {ScaleSettings::StatusLines, ScaleSettings::StxEtx, ScaleSettings::Toledo}) {
        for (int baud : {1200, 9600}) {
            SCOPED_TRACE(testing::Message() << "type " << type << " at " << baud);
            ScalePty pty;
            ASSERT_TRUE(pty.ok()) << "socat is needed (scripts/install-deps)";
            ClientWindow w(scaleOn(pty.device(), 1, ScaleSettings::Continuous, type, 17, baud));
            ASSERT_TRUE(w.started());
            PageUnderTest t(w);
            std::atomic<int> phase{Moving};
            pty.streamFrames([&](long) { return frameFor(type, Phase(phase.load())); }, baud);
            t.clickIntoWeight();
            ASSERT_TRUE(t.link().isOpen());

            // The parcel still moves: no weight, and the mark says why.
            ASSERT_TRUE(ClientWindow::waitFor([&] { return t.mark() == QStringLiteral("不稳定"); }));
            EXPECT_EQ(w.frame().operationText(), QStringLiteral("电子秤：不稳定（1.180 公斤），重量未取"));
            ClientWindow::waitFor([] { return false; }, 500);
            EXPECT_EQ(t.weight()->text(), QStringLiteral("0"));

            phase = Steady;
            ASSERT_TRUE(ClientWindow::waitFor([&] { return t.weight()->text() == QStringLiteral("1.250"); }));
            EXPECT_EQ(t.mark(), QStringLiteral("稳定"));

            // Overloaded: the weight shown is taken out again.
            phase = Overloaded;
            ASSERT_TRUE(ClientWindow::waitFor([&] { return t.mark() == QStringLiteral("超载"); }));
            EXPECT_EQ(t.weight()->text(), QStringLiteral("0"));
            EXPECT_EQ(w.frame().operationText(), QStringLiteral("电子秤：超载，重量未取"));
            EXPECT_DOUBLE_EQ(t.page().form().values().fweight, 0);

            phase = Negative;
            ASSERT_TRUE(ClientWindow::waitFor([&] { return t.mark() == QStringLiteral("负重"); }));
            EXPECT_EQ(t.weight()->text(), QStringLiteral("0"));
            EXPECT_EQ(w.frame().operationText(), QStringLiteral("电子秤：负重（-0.125 公斤），重量未取"));

            phase = Heavier;
            ASSERT_TRUE(ClientWindow::waitFor([&] { return t.weight()->text() == QStringLiteral("2.500"); }));
            EXPECT_DOUBLE_EQ(t.page().form().values().fweight, 2.5);
            t.enterOutOfWeight();
            pty.stopStream();
            EXPECT_FALSE(t.link().isOpen()) << "Enter moves on and the port closes";
            EXPECT_EQ(t.weight()->text(), QStringLiteral("2.500"));
            EXPECT_TRUE(w.prompter.shown().isEmpty());
        }
    }
}

TEST(ScalePage, AFrameWithAFailedCheckLeavesTheWeightAlone)
{
    ScalePty pty;
    ASSERT_TRUE(pty.ok());
    ClientWindow w(scaleOn(pty.device(), 1, ScaleSettings::Continuous, ScaleSettings::StxEtx));
    ASSERT_TRUE(w.started());
    PageUnderTest t(w);
    std::atomic<bool> broken{false};
    pty.streamFrames(
        [&](long) {
            // 2.500 kg with the check of 1.250 kg: the line garbled a digit.
            return broken ? QByteArray("\x02+0025003") + ScaleFrames::Weighbridge('+', 1250, 3).mid(9)
                          : ScaleFrames::Weighbridge('+', 1250, 3);
        },
        9600);
    t.clickIntoWeight();
    ASSERT_TRUE(ClientWindow::waitFor([&] { return t.weight()->text() == QStringLiteral("1.250"); }));
    broken = true;
    ASSERT_TRUE(ClientWindow::waitFor([&] { return t.mark() == QStringLiteral("校验错"); }));
    EXPECT_EQ(t.weight()->text(), QStringLiteral("1.250")) << "never the garbled weight, and the good one stays";
    pty.stopStream();
}

TEST(ScalePage, AScaleUnpluggedWhileReadIsUsedAgainWhenItComesBack)
{
    ScalePty pty;
    ASSERT_TRUE(pty.ok());
    ClientWindow w(scaleOn(pty.device()));
    ASSERT_TRUE(w.started());
    PageUnderTest t(w);
    t.clickIntoWeight();
    pty.stream("=001250\r", 9600);
    ASSERT_TRUE(ClientWindow::waitFor([&] { return t.weight()->text() == QStringLiteral("1.250"); }));
    pty.stopStream();
    pty.stopSocat();
    ASSERT_TRUE(ClientWindow::waitFor([&] { return !t.link().isOpen(); }, 3000));
    EXPECT_EQ(w.frame().operationText(),
              QStringLiteral("电子秤端口 %1 连接中断：设备已断开或无法读取").arg(pty.device()));
    // The page keeps working: a weight can be typed while the scale is away.
    t.weight()->selectAll();
    typeInto(t.weight(), QStringLiteral("3"));
    EXPECT_EQ(t.weight()->text(), QStringLiteral("3"));
    ClientWindow::waitFor([] { return false; }, 1500);
    EXPECT_FALSE(t.link().isOpen());

    // Plugged back in while the field still has the focus: read again.
    ASSERT_TRUE(pty.startSocat());
    pty.stream("=002000\r", 9600);
    ASSERT_TRUE(ClientWindow::waitFor([&] { return t.weight()->text() == QStringLiteral("2.000"); }, 10000));
    EXPECT_TRUE(t.link().isOpen());
    EXPECT_EQ(w.frame().operationText(), QStringLiteral("重量来自电子秤：2.000 公斤（已稳定）"));
    EXPECT_TRUE(w.prompter.shown().isEmpty()) << "no box in the middle of typing";
    t.enterOutOfWeight();
    pty.stopStream();
    EXPECT_FALSE(t.link().isOpen());
}
