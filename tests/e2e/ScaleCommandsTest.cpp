#include "scale/ScaleSettings.h"
#include "support/Quarvelctl.h"
#include "support/ScaleFrames.h"
#include "support/ScalePty.h"
#include "support/TempRoot.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

using namespace quarvel;

namespace {

CtlResult scale(const TempRoot &root, const QStringList &rest, int timeoutMs = 60000)
{
    return runQuarvelctl(QStringList{QStringLiteral("--root"), root.path(), QStringLiteral("scale")} + rest, {},
                         timeoutMs);
}

void setUp(const TempRoot &root, const QStringList &fields)
{
    const CtlResult r = scale(root, QStringList{QStringLiteral("set")} + fields);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
}

QString line(const QByteArray &out, const char *name)
{
    for (const QByteArray &l : out.split('\n'))
        if (l.startsWith(QByteArray(name) + '='))
            return QString::fromUtf8(l.mid(qstrlen(name) + 1));
    return QString();
}

} // namespace

TEST(ScaleCommands, ShowAndSetWithTheDialogsRules)
{
    TempRoot root;
    CtlResult shown = scale(root, {QStringLiteral("show")});
    ASSERT_EQ(shown.code, 0) << shown.err.toStdString();
    EXPECT_EQ(line(shown.out, "settings"), QStringLiteral("baud=1200 data=8 parity=N stop=1"));
    EXPECT_EQ(line(shown.out, "opens"), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(line(shown.out, "start"), QStringLiteral("="));

    setUp(root, {QStringLiteral("enabled=1"), QStringLiteral("type=2"), QStringLiteral("baud=9600"),
                 QStringLiteral("databits=7"), QStringLiteral("parity=e"), QStringLiteral("stopbits=2"),
                 QStringLiteral("length=30"), QStringLiteral("start=0x02"), QStringLiteral("transmission=稳定/按按键"),
                 QStringLiteral("port=COM4"), QStringLiteral("device=/dev/ttyUSB0")});
    const QByteArray bytes = root.read(QStringLiteral("balanceset.ini"));
    ASSERT_EQ(bytes.size(), 84);
    // enabled, type, data bits, length, stop bits, start, reserved, mode, parity, port, baud
    EXPECT_EQ(bytes.first(20).toHex(), QByteArray("01000000"
                                                  "02"
                                                  "07"
                                                  "1e"
                                                  "02"
                                                  "02"
                                                  "00"
                                                  "01"
                                                  "02"
                                                  "03000000"
                                                  "80250000"));
    EXPECT_EQ(root.read(QStringLiteral("DATA_SYS/scaleport.txt")), "/dev/ttyUSB0\n");
    shown = scale(root, {QStringLiteral("show")});
    EXPECT_EQ(line(shown.out, "settings"), QStringLiteral("baud=9600 data=7 parity=E stop=2"));
    EXPECT_EQ(line(shown.out, "start"), QStringLiteral("0x02"));
    EXPECT_EQ(line(shown.out, "port"), QStringLiteral("3 COM4"));
    EXPECT_EQ(line(shown.out, "opens"), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(line(shown.out, "transmission"), QStringLiteral("1 稳定/按按键"));

    // A refused value writes nothing, not even the good fields before it.
    const CtlResult bad =
        scale(root, {QStringLiteral("set"), QStringLiteral("baud=4800"), QStringLiteral("length=31")});
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.errText(), QStringLiteral("数据长度无效：31（1-30 字节）\n"));
    EXPECT_EQ(line(scale(root, {QStringLiteral("show")}).out, "baud"), QStringLiteral("9600"));
    for (const char *value : {"start=AB", "start=0xZZ", "parity=X", "stopbits=3", "type=8", "port=7", "device=ttyUSB0",
                              "databits=9", "enabled=2", "baud=0"})
        EXPECT_EQ(scale(root, {QStringLiteral("set"), QString::fromLatin1(value)}).code, 1) << value;
    EXPECT_EQ(scale(root, {QStringLiteral("set"), QStringLiteral("colour=red")}).code, 2);
    EXPECT_EQ(scale(root, {QStringLiteral("set"), QStringLiteral("baud")}).code, 2);

    setUp(root, {QStringLiteral("device=")});
    EXPECT_EQ(line(scale(root, {QStringLiteral("show")}).out, "opens"), QStringLiteral("/dev/ttyS3"));
}

TEST(ScaleCommands, ABalancesetOfTheWrongSizeIsReportedAndTheDefaultsShown)
{
    TempRoot root;
    root.write(QStringLiteral("balanceset.ini"), QByteArray(40, '\x05'));
    const CtlResult r = scale(root, {QStringLiteral("show")});
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.errText(),
              QStringLiteral("电子秤设置文件 balanceset.ini 的大小不对（40 字节，应为 84 字节），已改用默认设置。\n"));
    EXPECT_EQ(line(r.out, "baud"), QStringLiteral("1200"));
}

TEST(ScaleCommands, FramesAt1200And9600BaudArriveAsGrams)
{
    const struct {
        int baud;
        const char *type;
        QByteArray frame;
        QByteArray grams;
    } cases[] = {{1200, "type=0", "=02.1000", "1200\n"}, {9600, "type=4", "=001250", "1250\n"}};
    for (const auto &c : cases) {
        TempRoot root;
        ScalePty pty;
        ASSERT_TRUE(pty.ok()) << "socat is needed (scripts/install-deps)";
        setUp(root, {QStringLiteral("baud=%1").arg(c.baud), QString::fromLatin1(c.type), QStringLiteral("length=8"),
                     QStringLiteral("device=") + pty.device()});
        pty.stream(c.frame, c.baud);
        QElapsedTimer t;
        t.start();
        const CtlResult r = scale(root, {QStringLiteral("read"), QStringLiteral("--count"), QStringLiteral("4"),
                                         QStringLiteral("--timeout"), QStringLiteral("20")});
        pty.stopStream();
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, c.grams + c.grams + c.grams + c.grams) << c.baud;
        // Four readings of 16 bytes each cannot come faster than the line.
        EXPECT_GE(t.elapsed(), c.baud == 1200 ? 4 * 16 * 10 * 1000 / 1200 - 200 : 0) << c.baud;
    }
}

TEST(ScaleCommands, OnStableReadsOneWeightPerOpening)
{
    TempRoot root;
    ScalePty pty;
    ASSERT_TRUE(pty.ok());
    setUp(root, {QStringLiteral("baud=9600"), QStringLiteral("type=4"), QStringLiteral("length=8"),
                 QStringLiteral("transmission=1"), QStringLiteral("device=") + pty.device()});
    pty.streamFrames([](long n) { return "=00" + QByteArray::number(1000 + n % 9000) + "\r"; }, 9600);
    const CtlResult one = scale(root, {QStringLiteral("read")});
    EXPECT_EQ(one.code, 0) << one.err.toStdString();
    EXPECT_EQ(one.out.count('\n'), 1);
    const CtlResult two = scale(root, {QStringLiteral("read"), QStringLiteral("--count"), QStringLiteral("2")});
    pty.stopStream();
    EXPECT_EQ(two.code, 0) << two.err.toStdString();
    const QList<QByteArray> weights = two.out.trimmed().split('\n');
    ASSERT_EQ(weights.size(), 2);
    EXPECT_NE(weights[0], weights[1]) << "the second opening reads a later frame";
}

TEST(ScaleCommands, NoScaleAMissingDeviceAndAFileThatIsNoPort)
{
    TempRoot root;
    ScalePty pty;
    ASSERT_TRUE(pty.ok());
    setUp(root, {QStringLiteral("device=") + pty.device()});
    const CtlResult silent = scale(root, {QStringLiteral("read"), QStringLiteral("--timeout"), QStringLiteral("1")});
    EXPECT_EQ(silent.code, 2) << "a silent scale is the counter's hardware";
    EXPECT_EQ(silent.errText(),
              QStringLiteral("1 秒内收到 0 个读数，不足 1 个：请检查电子秤和连接端口 %1。\n").arg(pty.device()));

    setUp(root, {QStringLiteral("device=") + root.file(QStringLiteral("ttyUSB7"))});
    const CtlResult missing = scale(root, {QStringLiteral("read")});
    EXPECT_EQ(missing.code, 2);
    EXPECT_EQ(missing.errText(),
              QStringLiteral("电子秤端口 %1 打开失败：设备不存在\n").arg(root.file(QStringLiteral("ttyUSB7"))));
    EXPECT_TRUE(missing.out.isEmpty());

    root.write(QStringLiteral("notaport"), "x");
    setUp(root, {QStringLiteral("device=") + root.file(QStringLiteral("notaport"))});
    const CtlResult plain = scale(root, {QStringLiteral("detect"), QStringLiteral("--seconds"), QStringLiteral("1")});
    EXPECT_EQ(plain.code, 2);
    EXPECT_EQ(plain.errText(),
              QStringLiteral("电子秤端口 %1 打开失败：不是串口设备\n").arg(root.file(QStringLiteral("notaport"))));
    EXPECT_EQ(scale(root, {QStringLiteral("read"), QStringLiteral("--count")}).code, 2);
    EXPECT_EQ(scale(root, {QStringLiteral("read"), QStringLiteral("--timeout"), QStringLiteral("-1")}).code, 2);
}

TEST(ScaleCommands, TheDeviceVanishingEndsAReadWithItsReason)
{
    TempRoot root;
    ScalePty pty;
    ASSERT_TRUE(pty.ok());
    setUp(root, {QStringLiteral("baud=9600"), QStringLiteral("type=4"), QStringLiteral("length=8"),
                 QStringLiteral("device=") + pty.device()});
    pty.stream("=001250\r", 9600);
    QProcess p;
    p.start(QStringLiteral(QUARVELCTL_PATH),
            {QStringLiteral("--root"), root.path(), QStringLiteral("scale"), QStringLiteral("read"),
             QStringLiteral("--count"), QStringLiteral("0"), QStringLiteral("--timeout"), QStringLiteral("30")});
    ASSERT_TRUE(p.waitForStarted());
    ASSERT_TRUE(p.waitForReadyRead(5000));
    EXPECT_TRUE(p.readAllStandardOutput().startsWith("1250\n")) << "weights are printed as they arrive";
    pty.stopStream();
    pty.stopSocat();
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_LT(t.elapsed(), 3000);
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardError()),
              QStringLiteral("电子秤端口 %1 连接中断：设备已断开或无法读取\n").arg(pty.device()));
}

TEST(ScaleCommands, DetectProposesTheFormatOfAnUnknownScale)
{
    TempRoot root;
    ScalePty pty;
    ASSERT_TRUE(pty.ok());
    setUp(root, {QStringLiteral("baud=9600"), QStringLiteral("device=") + pty.device()});
    pty.streamFrames(&ScalePty::ParcelReversedKg, 9600);
    const CtlResult r = scale(root, {QStringLiteral("detect"), QStringLiteral("--seconds"), QStringLiteral("2")});
    pty.stopStream();
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(
        r.out.startsWith(QStringLiteral("识别结果：0-型(公斤颠倒序)，开始字符 =，数据长度 8 字节。\n").toUtf8()))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith("scale set type=0 start== length=8\n")) << r.out.toStdString();
    EXPECT_GE(line(r.out, "confidence").toInt(), 80);

    // Noise at the wrong rate is not guessed at.
    QByteArray noise(600, '\0');
    QRandomGenerator(9).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    pty.stream(noise, 9600);
    const CtlResult n = scale(root, {QStringLiteral("detect"), QStringLiteral("--seconds"), QStringLiteral("1")});
    pty.stopStream();
    EXPECT_EQ(n.code, 1);
    EXPECT_TRUE(n.out.startsWith(QStringLiteral("未能识别电子秤数据").toUtf8())) << n.out.toStdString();
}

namespace {

// One family's frames as a scale sends them over and over: a cycle that
// begins with an overload, so a reading started anywhere finds its start.
struct Family {
    const char *name;
    QStringList set;
    QList<QByteArray> cycle;
    QByteArrayList lines; // what scale read --all says of each frame
    QString proposal;     // scale detect's set line
};

QList<Family> families()
{
    using namespace ScaleFrames;
    return {
        {"status lines",
         {QStringLiteral("type=5")},
         {Comma("OL", "+    .  "), Comma("ST", "-  0.125"), Comma("US", "+0001.180"), Comma("ST", "   245.6", " g"),
          Comma("ST", "+0001.250", "lb"), Comma("ST", "+0001.250")},
         {"- overload", "-125 negative", "1180 unstable", "245 stable", "567 stable", "1250 stable"},
         QStringLiteral("scale set type=5")},
        {"stx/etx with check",
         {QStringLiteral("type=6")},
         {StxEtx("  OL"), Weighbridge('-', 125, 3),
          "\x02+0025003"
          "00\x03",
          Weighbridge('+', 1560, 0), Weighbridge('+', 1560, 0), Weighbridge('+', 1560, 0)},
         {"- overload", "-125 negative", "- bad-check", "1560000 unstable", "1560000 unstable", "1560000 stable"},
         QStringLiteral("scale set type=6")},
        {"continuous stx, checked",
         {QStringLiteral("type=7"), QStringLiteral("length=18")},
         {Toledo(999999, 5, Kg | OutOfRange, 0, true), Toledo(125, 5, Kg | Minus, 0, true),
          Toledo(1180, 5, Kg | Motion, 0, true), Toledo(1250, 5, Kg | Motion, 0, true).chopped(1) + '\x7F',
          Toledo(2500, 4, 0, 0, true), Toledo1250(true)},
         {"- overload", "-125 negative", "1180 unstable", "- bad-check", "11340 stable", "1250 stable"},
         QStringLiteral("scale set type=7 length=18")},
    };
}

QByteArray joined(const QList<QByteArray> &frames)
{
    QByteArray out;
    for (const QByteArray &f : frames)
        out += f;
    return out;
}

// The lines from the first overload on, three cycles of them.
QByteArrayList fromTheFirstCycle(const QByteArray &out, const QByteArray &first, int cycle)
{
    QByteArrayList lines = out.split('\n');
    const qsizetype start = lines.indexOf(first);
    return start < 0 ? QByteArrayList() : lines.mid(start, 3 * cycle);
}

} // namespace

TEST(ScaleCommands, EveryFamilyReadsItsWeightsAndRefusesTheRestAt1200And9600Baud)
{
    for (const Family &f : families()) {
        for (int baud : {1200, 9600}) {
            SCOPED_TRACE(testing::Message() << f.name << " at " << baud);
            TempRoot root;
            ScalePty pty;
            ASSERT_TRUE(pty.ok()) << "socat is needed (scripts/install-deps)";
            setUp(root,
                  QStringList{QStringLiteral("baud=%1").arg(baud), QStringLiteral("device=") + pty.device()} + f.set);
            pty.stream(joined(f.cycle), baud);
            const int n = int(f.cycle.size());
            const CtlResult all =
                scale(root, {QStringLiteral("read"), QStringLiteral("--all"), QStringLiteral("--count"),
                             QString::number(4 * n), QStringLiteral("--timeout"), QStringLiteral("30")});
            EXPECT_EQ(all.code, 0) << all.err.toStdString();
            EXPECT_EQ(fromTheFirstCycle(all.out, f.lines.first(), n), f.lines + f.lines + f.lines)
                << all.out.toStdString();

            // Without --all: the weights taken, and nothing else.
            const CtlResult weights =
                scale(root, {QStringLiteral("read"), QStringLiteral("--count"), QStringLiteral("3"),
                             QStringLiteral("--timeout"), QStringLiteral("30")});
            pty.stopStream();
            EXPECT_EQ(weights.code, 0) << weights.err.toStdString();
            QByteArrayList taken;
            for (const QByteArray &l : f.lines)
                if (l.endsWith(" stable"))
                    taken.append(l.split(' ').first());
            for (const QByteArray &w : weights.out.trimmed().split('\n'))
                EXPECT_TRUE(taken.contains(w)) << w.toStdString();
            EXPECT_EQ(weights.out.count('\n'), 3);
        }
    }
}

TEST(ScaleCommands, DetectProposesEveryFamilyAndNothingForFramesNoneExplains)
{
    for (const Family &f : families()) {
        for (int baud : {1200, 9600}) {
            SCOPED_TRACE(testing::Message() << f.name << " at " << baud);
            TempRoot root;
            ScalePty pty;
            ASSERT_TRUE(pty.ok());
            setUp(root, {QStringLiteral("baud=%1").arg(baud), QStringLiteral("device=") + pty.device()});
            pty.stream(joined(f.cycle), baud);
            const CtlResult r =
                scale(root, {QStringLiteral("detect"), QStringLiteral("--seconds"), QStringLiteral("3")});
            pty.stopStream();
            ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
            EXPECT_TRUE(r.out.endsWith((f.proposal + u'\n').toUtf8())) << r.out.toStdString();
            EXPECT_GE(line(r.out, "confidence").toInt(), 50) << r.out.toStdString();
        }
    }
    // Weighbridge frames whose checks all fail are no format at all.
    TempRoot root;
    ScalePty pty;
    ASSERT_TRUE(pty.ok());
    setUp(root, {QStringLiteral("baud=9600"), QStringLiteral("device=") + pty.device()});
    pty.streamFrames([](long n) { return "\x02+00" + QByteArray::number(1500 + n % 60) + "0" + "00\x03"; }, 9600);
    const CtlResult r = scale(root, {QStringLiteral("detect"), QStringLiteral("--seconds"), QStringLiteral("2")});
    pty.stopStream();
    EXPECT_EQ(r.code, 1) << r.out.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("未能识别电子秤数据").toUtf8())) << r.out.toStdString();
}

TEST(ScaleCommands, DetectTellsASevenBitScaleWithParityFromItsBytes)
{
    TempRoot root;
    ScalePty pty;
    ASSERT_TRUE(pty.ok());
    setUp(root, {QStringLiteral("baud=9600"), QStringLiteral("device=") + pty.device()});
    // A 7E1 scale read at 8N1: the parity bit arrives as bit 7.
    pty.streamFrames(
        [](long n) { return ScaleFrames::EvenParity("ST,GS,+000" + QByteArray::number(1 + n % 3) + ".250kg\r\n"); },
        9600);
    const CtlResult r = scale(root, {QStringLiteral("detect"), QStringLiteral("--seconds"), QStringLiteral("2")});
    pty.stopStream();
    ASSERT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("电子秤可能是 7 位数据位、偶校验（7E1）").toUtf8()))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith("scale set type=5 databits=7 parity=E\n")) << r.out.toStdString();
    // Read at 8N1 all the same, no frame is a weight.
    setUp(root, {QStringLiteral("type=5")});
    pty.stream(ScaleFrames::EvenParity(ScaleFrames::Comma("ST", "+0001.250")), 9600);
    const CtlResult read = scale(root, {QStringLiteral("read"), QStringLiteral("--timeout"), QStringLiteral("1")});
    pty.stopStream();
    EXPECT_EQ(read.code, 2) << "a port set up wrongly is the counter's hardware";
    EXPECT_TRUE(read.out.isEmpty()) << read.out.toStdString();
}

TEST(ScaleCommands, TheOriginalFormatsTakeTheFramesUnitSignAndStatusAt1200And9600Baud)
{
    const struct {
        const char *type;
        const char *start;
        QByteArray frame;
        QByteArray lines; // scale read --all --count 3 over a steady stream
    } cases[] = {
        {"type=1", "start=0x0A", "ww001.250lb\r\n", "567 unstable\n567 unstable\n567 stable\n"},
        {"type=1", "start=0x0A", "ST,GS,   245.6 g\r\n", "245 stable\n245 stable\n245 stable\n"},
        {"type=1", "start=0x0A", "ST,GS,-  0.125kg\r\n", "-125 negative\n-125 negative\n-125 negative\n"},
        {"type=1", "start=0x0A", "US,GS,+0001.180kg\r\n", "1180 unstable\n1180 unstable\n1180 unstable\n"},
        {"type=1", "start=0x0A", "OL,GS,+    .  kg\r\n", "- overload\n- overload\n- overload\n"},
        {"type=0", "start==", "=00.1000-", "-1000 negative\n-1000 negative\n-1000 negative\n"},
        {"type=2", "start==", QByteArray("\xFF\x04\x34\x12\x00\x0D", 6), "1234 unstable\n1234 unstable\n1234 stable\n"},
    };
    for (const auto &c : cases) {
        for (int baud : {1200, 9600}) {
            SCOPED_TRACE(testing::Message() << c.frame.toStdString() << " at " << baud);
            TempRoot root;
            ScalePty pty;
            ASSERT_TRUE(pty.ok());
            setUp(root, {QStringLiteral("baud=%1").arg(baud), QString::fromLatin1(c.type), QString::fromLatin1(c.start),
                         QStringLiteral("length=%1").arg(c.frame.size()), QStringLiteral("device=") + pty.device()});
            pty.stream(c.frame, baud);
            const CtlResult r = scale(root, {QStringLiteral("read"), QStringLiteral("--all"), QStringLiteral("--count"),
                                             QStringLiteral("3"), QStringLiteral("--timeout"), QStringLiteral("20")});
            pty.stopStream();
            EXPECT_EQ(r.code, 0) << r.err.toStdString();
            EXPECT_EQ(r.out, c.lines);
        }
    }
}
