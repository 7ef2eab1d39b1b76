#include "scale/CScaleDlg.h"
#include "scale/ScaleDevice.h"
#include "scale/ScaleLink.h"
#include "scale/ScaleSettings.h"
#include "support/ClientWindow.h"
#include "support/ScaleFrames.h"
#include "support/ScalePty.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace quarvel;

namespace {

ClientWindow::Options noServer(std::function<void(TempRoot &)> prepare = {})
{
    ClientWindow::Options o;
    o.server = false;
    o.prepare = std::move(prepare);
    return o;
}

// The dialog as the menu command opens it; `drive` runs inside its modal loop.
void throughTheMenu(ClientWindow &w, const std::function<void(CScaleDlg &)> &drive)
{
    bool ran = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<CScaleDlg *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        ran = true;
        drive(*dialog);
        if (dialog->isVisible())
            dialog->exitButton()->click();
    });
    w.action(CmdScaleSettings)->trigger();
    EXPECT_TRUE(ran);
}

} // namespace

TEST(ScaleDialog, TheMenuCommandOpensItWithTheStoredValuesAndSaves)
{
    ClientWindow w(noServer([](TempRoot &root) {
        ScaleSettings s;
        s.startChar = 2;
        s.type = 3;
        s.port = 1;
        root.write(ScaleSettings::fileName(), s.ToBytes());
    }));
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(w.action(CmdScaleSettings)->isEnabled());
    throughTheMenu(w, [&](CScaleDlg &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("本机电子磅秤参数设定"));
        EXPECT_FALSE(d.enabledBox()->isChecked());
        EXPECT_EQ(d.portBox()->currentText(), QStringLiteral("COM2"));
        EXPECT_EQ(d.baudBox()->currentText(), QStringLiteral("1200"));
        EXPECT_EQ(d.dataBitsBox()->currentText(), QStringLiteral("8"));
        EXPECT_EQ(d.typeBox()->currentText(), QStringLiteral("3-型(克颠倒序)"));
        EXPECT_EQ(d.parityBox()->currentText(), QStringLiteral("N-无校验"));
        EXPECT_EQ(d.stopBitsBox()->count(), 3);
        EXPECT_TRUE(d.continuousButton()->isChecked());
        EXPECT_EQ(d.dataLengthBox()->text(), QStringLiteral("18"));
        EXPECT_EQ(d.startBox()->text(), QStringLiteral("0x02"));
        EXPECT_EQ(d.startBox()->maxLength(), 4);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(d.portBox()->itemText(i), QStringLiteral("COM%1").arg(i + 1));

        d.enabledBox()->setChecked(true);
        d.startBox()->setText(QStringLiteral("A"));
        d.dataLengthBox()->setText(QStringLiteral("45"));
        d.onStableButton()->setChecked(true);
        d.portBox()->setCurrentText(QStringLiteral("/dev/ttyUSB0"));
        d.saveButton()->click();
        EXPECT_EQ(w.prompter.lastText(), QStringLiteral("设置已经保存。"));
        EXPECT_EQ(d.dataLengthBox()->text(), QStringLiteral("30"));
        EXPECT_EQ(d.startBox()->text(), QStringLiteral("A"));
    });
    const ScaleSettings &s = w.context().scaleSettings();
    EXPECT_TRUE(s.isEnabled());
    EXPECT_EQ(s.startChar, 65);
    EXPECT_EQ(s.dataLength, 30);
    EXPECT_TRUE(s.onStable());
    EXPECT_EQ(s.port, 1);
    EXPECT_EQ(w.root.read(ScaleSettings::fileName()).size(), 84);
    EXPECT_EQ(w.root.read(ScaleDevice::fileName()), "/dev/ttyUSB0\n");
}

TEST(ScaleDialog, EnterMovesOnAndTheArrowsMoveBetweenFields)
{
    ClientWindow w(noServer());
    ASSERT_TRUE(w.started());
    CScaleDlg d(w.context(), w.prompter);
    d.show();
    d.activateWindow();
    ClientWindow::waitFor([&] { return QApplication::activeWindow() == &d; }, 3000);
    d.baudBox()->setFocus();
    pressKey(d.baudBox(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), d.dataBitsBox()) << "an editable combo box is left like any field";
    d.startBox()->setFocus();
    pressKey(d.startBox(), Qt::Key_Up);
    EXPECT_NE(QApplication::focusWidget(), d.startBox());
    d.saveButton()->setFocus();
    pressKey(d.saveButton(), Qt::Key_Return);
    EXPECT_EQ(w.prompter.lastText(), QStringLiteral("设置已经保存。")) << "Enter on 保存设定 saves";
}

class ScaleDialogLive : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok()) << "socat is needed (scripts/install-deps)";
        ASSERT_TRUE(w.started());
        dialog.show();
        dialog.portBox()->setCurrentText(pty.device());
        dialog.baudBox()->setCurrentText(QStringLiteral("9600"));
        dialog.typeBox()->setCurrentIndex(ScaleSettings::Grams);
        dialog.dataLengthBox()->setText(QStringLiteral("8"));
    }
    ScaleLink &link() { return w.context().scale(); }

    ScalePty pty;
    ClientWindow w{noServer()};
    CScaleDlg dialog{w.context(), w.prompter};
};

TEST_F(ScaleDialogLive, ReadOnceTakesOneWeightWithTheValuesShownUnsaved)
{
    EXPECT_FALSE(w.context().scaleSettings().isEnabled()) << "a test needs no enabled scale";
    pty.stream("=001250\r", 9600);
    dialog.readButton()->click();
    EXPECT_TRUE(link().isOpen());
    ASSERT_TRUE(ClientWindow::waitFor([&] { return dialog.weightBox()->text() == QStringLiteral("1.250"); }));
    EXPECT_FALSE(link().isOpen()) << "one reading";
    EXPECT_EQ(dialog.testStatus()->text(), QStringLiteral("读数：1.250 公斤"));
    EXPECT_EQ(w.context().scaleSettings().baud, 1200) << "nothing saved";
    pty.stopStream();
    pty.stream("=000000\r", 9600);
    dialog.readButton()->click();
    ASSERT_TRUE(ClientWindow::waitFor([&] { return dialog.weightBox()->text() == QStringLiteral("0"); }));
    pty.stopStream();
}

TEST_F(ScaleDialogLive, SyncShowsTheLiveWeightUntilStopped)
{
    pty.streamFrames([](long n) { return "=00" + QByteArray::number(n < 10 ? 1000 + 20 * n : 1200) + "\r"; }, 9600);
    dialog.syncButton()->click();
    EXPECT_TRUE(dialog.syncing());
    EXPECT_EQ(dialog.syncButton()->text(), QStringLiteral("停止同步"));
    ASSERT_TRUE(ClientWindow::waitFor([&] { return dialog.weightBox()->text() == QStringLiteral("1.200"); }));
    ASSERT_TRUE(ClientWindow::waitFor([&] { return dialog.settleMark()->text() == QStringLiteral("稳定"); }));
    EXPECT_TRUE(dialog.testStatus()->text().startsWith(QStringLiteral("正在同步 %1：已收到").arg(pty.device())));
    EXPECT_TRUE(link().isOpen());
    dialog.syncButton()->click();
    EXPECT_FALSE(dialog.syncing());
    EXPECT_EQ(dialog.syncButton()->text(), QStringLiteral("同步称重"));
    EXPECT_FALSE(link().isOpen());
    pty.stopStream();
}

TEST_F(ScaleDialogLive, SyncWithAKeyPressScaleOpensAgainAfterEachWeight)
{
    dialog.onStableButton()->setChecked(true);
    pty.streamFrames([](long n) { return "=00" + QByteArray::number(3000 + n) + "\r"; }, 9600);
    dialog.syncButton()->click();
    QStringList seen;
    ClientWindow::waitFor([&] {
        if (!seen.contains(dialog.weightBox()->text()) && !dialog.weightBox()->text().isEmpty())
            seen.append(dialog.weightBox()->text());
        return seen.size() >= 3;
    });
    EXPECT_GE(seen.size(), 3);
    EXPECT_TRUE(dialog.syncing());
    dialog.exitButton()->click();
    EXPECT_FALSE(link().isOpen()) << "结束退出 closes the port";
    pty.stopStream();
}

TEST_F(ScaleDialogLive, DetectionProposesTheFormatAndTheOperatorTakesIt)
{
    dialog.setDetectMs(1500);
    pty.streamFrames(&ScalePty::ParcelReversedKg, 9600);
    w.prompter.queueAnswer(true);
    dialog.detectButton()->click();
    EXPECT_TRUE(dialog.detecting());
    EXPECT_FALSE(dialog.syncButton()->isEnabled());
    ASSERT_TRUE(ClientWindow::waitFor([&] { return !dialog.detecting(); }));
    pty.stopStream();
    EXPECT_FALSE(link().isOpen());
    ASSERT_EQ(w.prompter.shown().size(), 1);
    EXPECT_EQ(w.prompter.shown().first().kind, ScriptedPrompter::Kind::Ask);
    EXPECT_TRUE(w.prompter.lastText().startsWith(
        QStringLiteral("识别结果：0-型(公斤颠倒序)，开始字符 =，数据长度 8 字节。\r\n把握：")))
        << w.prompter.lastText().toStdString();
    EXPECT_EQ(dialog.typeBox()->currentIndex(), ScaleSettings::KilogramsReversed);
    EXPECT_EQ(dialog.startBox()->text(), QStringLiteral("="));
    EXPECT_EQ(dialog.dataLengthBox()->text(), QStringLiteral("8"));
    EXPECT_EQ(w.context().scaleSettings().type, 0) << "taken into the dialog, saved only by 保存设定";
    EXPECT_TRUE(dialog.syncButton()->isEnabled());
}

TEST_F(ScaleDialogLive, AVanishingDeviceAndAMissingOneAreToldClearly)
{
    pty.stream("=001250\r", 9600);
    dialog.syncButton()->click();
    ASSERT_TRUE(ClientWindow::waitFor([&] { return dialog.weightBox()->text() == QStringLiteral("1.250"); }));
    pty.stopStream();
    pty.stopSocat();
    ASSERT_TRUE(ClientWindow::waitFor([&] { return !dialog.syncing(); }, 3000));
    const QString lost = QStringLiteral("电子秤端口 %1 连接中断：设备已断开或无法读取").arg(pty.device());
    EXPECT_EQ(w.prompter.lastText(), lost);
    EXPECT_EQ(dialog.testStatus()->text(), lost);
    EXPECT_EQ(dialog.syncButton()->text(), QStringLiteral("同步称重"));

    dialog.portBox()->setCurrentText(QStringLiteral("/dev/ttyUSB9"));
    dialog.readButton()->click();
    EXPECT_EQ(w.prompter.lastText(), QStringLiteral("电子秤端口 /dev/ttyUSB9 打开失败：设备不存在"));
    dialog.portBox()->setCurrentText(QStringLiteral("打印机"));
    dialog.syncButton()->click();
    EXPECT_FALSE(dialog.syncing());
    EXPECT_TRUE(w.prompter.lastText().startsWith(QStringLiteral("连接端口无效：打印机")));
}

TEST_F(ScaleDialogLive, ReadOnceGivesUpAfterItsTimeWithTheMessageOfScaleRead)
{
    dialog.setReadMs(1000);
    const QString text =
        QStringLiteral("1 秒内收到 0 个读数，不足 1 个：请检查电子秤和连接端口 %1。").arg(pty.device());
    // Nothing attached sends anything.
    dialog.readButton()->click();
    EXPECT_TRUE(dialog.readingOnce());
    ASSERT_TRUE(ClientWindow::waitFor([&] { return !dialog.readingOnce(); }, 5000));
    EXPECT_FALSE(link().isOpen());
    EXPECT_EQ(w.prompter.lastText(), text);
    EXPECT_EQ(dialog.testStatus()->text(), text);
    EXPECT_TRUE(dialog.readButton()->isEnabled());

    // A scale whose load never rests gives no weight either, and says so.
    dialog.typeBox()->setCurrentIndex(ScaleSettings::StatusLines);
    pty.stream("US,GS,+0001.180kg\r\n", 9600);
    w.prompter.clear();
    dialog.readButton()->click();
    ASSERT_TRUE(ClientWindow::waitFor([&] { return dialog.settleMark()->text() == QStringLiteral("不稳定"); }));
    EXPECT_EQ(dialog.testStatus()->text(), QStringLiteral("电子秤：不稳定（1.180 公斤），重量未取"));
    ASSERT_TRUE(ClientWindow::waitFor([&] { return !dialog.readingOnce(); }, 5000));
    pty.stopStream();
    EXPECT_EQ(w.prompter.lastText(), text);
    EXPECT_TRUE(dialog.weightBox()->text().isEmpty());
}

TEST_F(ScaleDialogLive, DetectionOfASevenBitScaleProposesItsDataBitsAndParity)
{
    dialog.setDetectMs(1500);
    pty.stream(ScaleFrames::EvenParity("ST,GS,+0001.250kg\r\n"), 9600);
    w.prompter.queueAnswer(true);
    dialog.detectButton()->click();
    ASSERT_TRUE(ClientWindow::waitFor([&] { return !dialog.detecting(); }));
    pty.stopStream();
    EXPECT_TRUE(w.prompter.lastText().contains(QStringLiteral("（7E1）"))) << w.prompter.lastText().toStdString();
    EXPECT_EQ(dialog.typeBox()->currentIndex(), ScaleSettings::StatusLines);
    EXPECT_EQ(dialog.dataBitsBox()->currentText(), QStringLiteral("7"));
    EXPECT_EQ(dialog.parityBox()->currentText(), QStringLiteral("E-偶校验"));
}
