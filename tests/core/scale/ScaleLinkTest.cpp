#include "scale/ScaleLink.h"
#include "scale/ScaleDevice.h"
#include "support/ScalePty.h"
#include "support/TempRoot.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/resource.h>

using namespace quarvel;

namespace {

// The link reads through the event loop of the thread that opened it.
QCoreApplication &application()
{
    static int argc = 1;
    static char name[] = "core_scale_tests";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    return *QCoreApplication::instance();
}

template <class Done> bool waitFor(Done done, int ms = 5000)
{
    application();
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        // A short event loop sleeps between events, so the waiting itself
        // burns no CPU time (the dead-device test measures it).
        QEventLoop pause;
        QTimer::singleShot(5, &pause, &QEventLoop::quit);
        pause.exec();
    }
    return true;
}

void spin(int ms)
{
    waitFor([] { return false; }, ms);
}

ScaleSettings gramsScale(int baud, ScaleSettings::Transmission transmission = ScaleSettings::Continuous)
{
    ScaleSettings s;
    s.enabled = 1;
    s.type = ScaleSettings::Grams;
    s.dataLength = 8;
    s.baud = baud;
    s.transmission = transmission;
    return s;
}

// Who opened the link, with what it heard: the weights, and every reading.
struct Heard {
    QObject owner;
    QList<int> grams;
    QList<int> steps;
    QList<ScaleReading> readings;
    QStringList lost;
    QByteArray raw;
    ScaleLink::Listener listener(bool raw = false)
    {
        ScaleLink::Listener l;
        l.owner = &owner;
        l.reading = [this](const ScaleReading &r) {
            readings.append(r);
            if (!r.isWeight())
                return;
            grams.append(int(r.grams));
            steps.append(r.step);
        };
        l.lost = [this](const QString &why) { lost.append(why); };
        if (raw)
            l.raw = [this](const QByteArray &bytes) { this->raw += bytes; };
        return l;
    }
};

class ScaleLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        application();
        ASSERT_TRUE(pty.ok()) << "socat is needed (scripts/install-deps)";
    }

    ScalePty pty;
    ScaleSettings stored;
    ScaleDevice device;
    ScaleLink link{stored, device};
};

} // namespace

TEST_F(ScaleLinkTest, ContinuousFramesArriveAsGramsAtBothRates)
{
    for (int baud : {1200, 9600}) {
        Heard heard;
        ASSERT_EQ(link.OpenWith(gramsScale(baud), pty.device(), heard.listener()), QString());
        EXPECT_TRUE(link.isOpen());
        EXPECT_EQ(link.device(), pty.device());
        // Sent as a scale sends, while the client's event loop runs.
        pty.stream("=001250\r", baud);
        const bool read = waitFor([&] { return heard.grams.size() >= 4; }, 15000);
        pty.stopStream();
        ASSERT_TRUE(read) << baud;
        EXPECT_EQ(heard.grams, QList<int>(heard.grams.size(), 1250));
        EXPECT_EQ(heard.steps.first(), 1);
        EXPECT_TRUE(link.isOpen()) << "a continuous scale stays open";
        link.CloseScale();
        EXPECT_FALSE(link.isOpen());
        EXPECT_TRUE(heard.lost.isEmpty());
    }
}

TEST_F(ScaleLinkTest, OnStableGivesOneReadingPerOpening)
{
    Heard heard;
    for (int opening = 1; opening <= 3; ++opening) {
        ASSERT_EQ(link.OpenWith(gramsScale(9600, ScaleSettings::OnStable), pty.device(), heard.listener()), QString());
        QByteArray frames;
        for (int i = 0; i < 10; ++i)
            frames += QByteArray("=00") + char('0' + opening) + "000\r";
        ASSERT_TRUE(pty.send(frames, 9600));
        ASSERT_TRUE(waitFor([&] { return heard.grams.size() >= opening; }));
        spin(300); // everything sent has arrived: still one weight
        EXPECT_EQ(heard.grams.size(), opening);
        EXPECT_EQ(heard.grams.last(), opening * 1000);
        EXPECT_FALSE(link.isOpen()) << "closed after its one weight";
    }
}

TEST_F(ScaleLinkTest, ThePagesOpeningNeedsTheScaleEnabled)
{
    Heard heard;
    stored = gramsScale(9600);
    stored.enabled = 0;
    device.chosen = pty.device();
    EXPECT_FALSE(link.OpenScale(heard.listener()));
    EXPECT_TRUE(link.lastError().isEmpty()) << "a disabled scale fails silently";
    EXPECT_FALSE(link.isOpen());
    stored.enabled = 1;
    ASSERT_TRUE(link.OpenScale(heard.listener()));
    ASSERT_TRUE(pty.send("=001250\r=001250\r=001250\r"));
    ASSERT_TRUE(waitFor([&] { return !heard.grams.isEmpty(); }));
    EXPECT_EQ(heard.grams.first(), 1250);
}

TEST_F(ScaleLinkTest, ClosingTakesOnlyTheOwnersOpeningAndAGoneOwnerClosesIt)
{
    Heard page;
    Heard dialog;
    ASSERT_EQ(link.OpenWith(gramsScale(9600), pty.device(), dialog.listener()), QString());
    link.CloseScale(&page.owner);
    EXPECT_TRUE(link.isOpen()) << "the page leaving its field does not close the dialog's test";
    link.CloseScale(&dialog.owner);
    EXPECT_FALSE(link.isOpen());

    auto gone = std::make_unique<Heard>();
    ASSERT_EQ(link.OpenWith(gramsScale(9600), pty.device(), gone->listener()), QString());
    gone.reset();
    ASSERT_TRUE(pty.send("=001250\r=001250\r=001250\r"));
    EXPECT_TRUE(waitFor([&] { return !link.isOpen(); }));
}

TEST_F(ScaleLinkTest, RawBytesForTheDetector)
{
    Heard heard;
    ASSERT_EQ(link.OpenWith(gramsScale(9600), pty.device(), heard.listener(true)), QString());
    ASSERT_TRUE(pty.send("=001250\r=001250\r=001250\r"));
    ASSERT_TRUE(waitFor([&] { return heard.raw.size() >= 24; }));
    EXPECT_EQ(heard.raw, "=001250\r=001250\r=001250\r");
    EXPECT_TRUE(heard.grams.isEmpty());
}

TEST_F(ScaleLinkTest, DevicesThatAreMissingOrNoSerialPort)
{
    TempRoot root;
    root.write(QStringLiteral("plain.txt"), "not a port");
    Heard heard;
    const ScaleSettings s = gramsScale(9600);
    EXPECT_EQ(link.OpenWith(s, root.file(QStringLiteral("ttyUSB9")), heard.listener()),
              QStringLiteral("电子秤端口 %1 打开失败：设备不存在").arg(root.file(QStringLiteral("ttyUSB9"))));
    EXPECT_EQ(link.OpenWith(s, root.file(QStringLiteral("plain.txt")), heard.listener()),
              QStringLiteral("电子秤端口 %1 打开失败：不是串口设备").arg(root.file(QStringLiteral("plain.txt"))));
    EXPECT_EQ(link.OpenWith(s, root.path(), heard.listener()),
              QStringLiteral("电子秤端口 %1 打开失败：不是串口设备").arg(root.path()));
    const QString null = link.OpenWith(s, QStringLiteral("/dev/null"), heard.listener());
    EXPECT_TRUE(null.startsWith(QStringLiteral("电子秤端口 /dev/null 打开失败："))) << null.toStdString();
    EXPECT_FALSE(link.isOpen());
    ScaleSettings badPort = s;
    badPort.port = -1;
    stored = badPort;
    EXPECT_FALSE(link.OpenScale(heard.listener()));
    EXPECT_EQ(link.lastError(), QStringLiteral("电子秤端口 COM0 打开失败：端口号无效"));

    ScaleSettings badBits = s;
    badBits.dataBits = 9;
    EXPECT_EQ(link.OpenWith(badBits, pty.device(), heard.listener()),
              QStringLiteral("电子秤端口 %1 打开失败：本机串口不支持数据位 9").arg(pty.device()));
    EXPECT_FALSE(link.isOpen());
    EXPECT_TRUE(heard.grams.isEmpty());
}

TEST_F(ScaleLinkTest, TheDeviceVanishingWhileListeningClosesTheLinkWithAReason)
{
    Heard heard;
    ASSERT_EQ(link.OpenWith(gramsScale(9600), pty.device(), heard.listener()), QString());
    pty.stream("=001250\r", 9600);
    ASSERT_TRUE(waitFor([&] { return !heard.grams.isEmpty(); }));
    pty.stopStream();
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    pty.stopSocat();
    ASSERT_TRUE(waitFor([&] { return !heard.lost.isEmpty(); }, 3000));
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(heard.lost.first().toStdString(),
              QStringLiteral("电子秤端口 %1 连接中断：设备已断开或无法读取").arg(pty.device()).toStdString());
    spin(500);
    EXPECT_EQ(heard.lost.size(), 1) << "said once";
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    const double cpu =
        (after.ru_utime.tv_sec - before.ru_utime.tv_sec) + (after.ru_utime.tv_usec - before.ru_utime.tv_usec) / 1e6;
    EXPECT_LT(cpu, 0.3) << "no busy loop on a dead device";
    Heard again;
    EXPECT_FALSE(link.OpenWith(gramsScale(9600), pty.device(), again.listener()).isEmpty());
}

TEST_F(ScaleLinkTest, NoiseAtFullSpeedNeitherBlocksNorGrowsAndFramesAfterItRead)
{
    Heard heard;
    ScaleSettings s = gramsScale(9600);
    s.type = ScaleSettings::KilogramsReversed;
    ASSERT_EQ(link.OpenWith(s, pty.device(), heard.listener()), QString());
    QByteArray noise(1 << 20, '\0');
    QRandomGenerator(5).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    noise.replace('=', '#'); // no start character at all
    std::thread sender([&] { pty.send(noise); });
    QElapsedTimer t;
    t.start();
    waitFor([&] { return false; }, 1500);
    sender.join();
    spin(500);
    EXPECT_TRUE(link.isOpen());
    EXPECT_TRUE(heard.grams.isEmpty());
    QByteArray frames;
    for (int i = 0; i < 10; ++i)
        frames += "=02.1000";
    ASSERT_TRUE(pty.send(frames));
    ASSERT_TRUE(waitFor([&] { return !heard.grams.isEmpty(); }));
    EXPECT_EQ(heard.grams.last(), 1200);
}
