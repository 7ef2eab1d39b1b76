#include "preinput/CPreInputPage.h"
#include "preinput/CPreInputPane.h"
#include "scale/ScaleDevice.h"
#include "scale/ScaleLink.h"
#include "scale/ScaleSettings.h"
#include "shell/PageCatalog.h"
#include "support/ClientWindow.h"
#include "support/ScalePty.h"

#include <QLabel>
#include <QLineEdit>

using namespace quarvel;

namespace {

// The installation's scale: grams in normal order on the pseudo-terminal.
ClientWindow::Options scaleOn(const QString &device, int enabled = 1,
                              ScaleSettings::Transmission mode = ScaleSettings::Continuous)
{
    ClientWindow::Options o;
    o.server = false;
    o.show = true;
    o.prepare = [device, enabled, mode](TempRoot &root) {
        ScaleSettings s;
        s.enabled = enabled;
        s.type = ScaleSettings::Grams;
        s.dataLength = 8;
        s.baud = 9600;
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
