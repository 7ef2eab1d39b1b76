#include "scale/ScaleSettings.h"
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "scale/ScaleDevice.h"
#include "scale/ScaleSettingsForm.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QFileInfo>

using namespace quarvel;

namespace {

ScaleSettings storedIn(const TempRoot &root)
{
    ScaleSettings s;
    s.Load(root.file(ScaleSettings::fileName()));
    return s;
}

} // namespace

TEST(ScaleSettings, DefaultsTheSettingsStringAndTheThreshold)
{
    TempRoot root;
    ScaleSettings s;
    EXPECT_EQ(s.Load(root.file(QStringLiteral("balanceset.ini"))), ScaleSettings::LoadResult::Missing);
    EXPECT_EQ(s.enabled, 0);
    EXPECT_EQ(s.type, 0);
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.dataLength, 18);
    EXPECT_EQ(s.startChar, '=');
    EXPECT_EQ(s.port, 0);
    EXPECT_EQ(s.baud, 1200);
    EXPECT_EQ(s.SettingsString(), QStringLiteral("baud=1200 data=8 parity=N stop=1"));
    EXPECT_EQ(s.FrameThreshold(), 36);

    s.baud = 9600;
    s.dataBits = 7;
    s.parity = 2;
    s.stopBits = 1;
    EXPECT_EQ(s.SettingsString(), QStringLiteral("baud=9600 data=7 parity=E stop=1.5"));
    s.parity = 3;
    s.stopBits = 2;
    EXPECT_EQ(s.SettingsString(), QStringLiteral("baud=9600 data=7 parity=M stop=2"));
    for (const auto &[length, threshold] : {std::pair{9, 18}, {30, 60}, {60, 120}, {255, 120}, {0, 1}}) {
        s.dataLength = static_cast<std::uint8_t>(length);
        EXPECT_EQ(s.FrameThreshold(), threshold) << length;
    }
}

TEST(ScaleSettings, TheEightyFourBytesAreWrittenAsTheyAreAndKeepUnknownBytes)
{
    TempRoot root;
    ScaleSettings s;
    s.enabled = 1;
    s.type = 4;
    s.dataBits = 7;
    s.dataLength = 9;
    s.stopBits = 2;
    s.startChar = 2;
    s.transmission = 1;
    s.parity = 1;
    s.port = 3;
    s.baud = 9600;
    const QString file = root.file(ScaleSettings::fileName());
    ASSERT_TRUE(s.Save(file));
    const QByteArray bytes = root.read(ScaleSettings::fileName());
    ASSERT_EQ(bytes.size(), 84);
    EXPECT_EQ(bytes.first(20), QByteArray::fromHex("01000000"
                                                   "04"
                                                   "07"
                                                   "09"
                                                   "02"
                                                   "02"
                                                   "00"
                                                   "01"
                                                   "01"
                                                   "03000000"
                                                   "80250000"));
    EXPECT_EQ(bytes.sliced(20), QByteArray(64, '\0'));

    // A reserved byte set by someone else survives a load and a save.
    QByteArray changed = bytes;
    changed[9] = 'r';
    changed[83] = 'z';
    root.write(ScaleSettings::fileName(), changed);
    ScaleSettings again;
    ASSERT_EQ(again.Load(file), ScaleSettings::LoadResult::Loaded);
    EXPECT_EQ(again.baud, 9600);
    EXPECT_EQ(again.startChar, 2);
    again.baud = 1200;
    ASSERT_TRUE(again.Save(file));
    const QByteArray resaved = root.read(ScaleSettings::fileName());
    EXPECT_EQ(resaved[9], 'r');
    EXPECT_EQ(resaved[83], 'z');
    EXPECT_EQ(resaved.sliced(16, 4), QByteArray::fromHex("b0040000"));
}

TEST(ScaleSettings, AFileOfTheWrongSizeIsReportedAtStartUpAndTheDefaultsApply)
{
    for (int size : {0, 83, 85, 4096}) {
        TempRoot root;
        root.write(ScaleSettings::fileName(), QByteArray(size, '\x07'));
        ScriptedPrompter p;
        ClientContext context(root.path());
        ASSERT_TRUE(context.Start(p));
        ASSERT_EQ(p.shown().size(), 1) << size;
        EXPECT_EQ(p.shown().first().kind, ScriptedPrompter::Kind::Warning);
        EXPECT_EQ(p.lastText(),
                  QStringLiteral("电子秤设置文件 balanceset.ini 的大小不对（%1 字节，应为 84 字节），已改用默认设置。")
                      .arg(size));
        EXPECT_EQ(context.scaleSettings().baud, 1200);
        EXPECT_EQ(context.scaleSettings().type, 0);
    }
}

TEST(ScaleSettings, StartUpReadsTheSettingsAndTheChosenDevice)
{
    TempRoot root;
    ScaleSettings s;
    s.enabled = 1;
    s.baud = 4800;
    s.port = 2;
    root.write(ScaleSettings::fileName(), s.ToBytes());
    ScriptedPrompter p;
    {
        ClientContext context(root.path());
        ASSERT_TRUE(context.Start(p));
        EXPECT_TRUE(p.shown().isEmpty());
        EXPECT_TRUE(context.scaleSettings().isEnabled());
        EXPECT_EQ(context.scaleSettings().baud, 4800);
        EXPECT_EQ(context.scaleDevice().DeviceFor(context.scaleSettings()), QStringLiteral("/dev/ttyS2"));
    }
    root.write(ScaleDevice::fileName(), "  /dev/ttyUSB0  \nsecond line\n");
    ClientContext context(root.path());
    ASSERT_TRUE(context.Start(p));
    EXPECT_EQ(context.scaleDevice().DeviceFor(context.scaleSettings()), QStringLiteral("/dev/ttyUSB0"));
}

TEST(ScaleDevice, PortNamesAndDevices)
{
    EXPECT_EQ(ScaleDevice::PortDevice(0), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(ScaleDevice::PortDevice(3), QStringLiteral("/dev/ttyS3"));
    EXPECT_TRUE(ScaleDevice::PortDevice(-1).isEmpty());
    EXPECT_TRUE(ScaleDevice::PortDevice(1024).isEmpty());
    EXPECT_EQ(ScaleDevice::PortName(0), QStringLiteral("COM1"));
    EXPECT_EQ(ScaleDevice::PortIndex(QStringLiteral("com4")), 3);
    EXPECT_EQ(ScaleDevice::PortIndex(QStringLiteral("COM0")), -1);
    EXPECT_EQ(ScaleDevice::PortIndex(QStringLiteral("LPT1")), -1);
}

TEST(ScaleSettingsForm, TheStartCharacterAsACharacterOrAControlCode)
{
    EXPECT_EQ(ScaleSettingsForm::StartText(2), QStringLiteral("0x02"));
    EXPECT_EQ(ScaleSettingsForm::StartText(65), QStringLiteral("A"));
    EXPECT_EQ(ScaleSettingsForm::StartText(13), QStringLiteral("0x0D"));
    EXPECT_EQ(ScaleSettingsForm::StartText(14), QString(QChar(14)));
    EXPECT_EQ(ScaleSettingsForm::StartText(126), QStringLiteral("~"));
    EXPECT_EQ(ScaleSettingsForm::StartText(127), QStringLiteral("0x7F"));
    EXPECT_EQ(ScaleSettingsForm::StartText(0xFF), QStringLiteral("0xFF"));

    EXPECT_EQ(ScaleSettingsForm::ParseStart(QStringLiteral("0x02")), 2);
    EXPECT_EQ(ScaleSettingsForm::ParseStart(QStringLiteral("0X3d")), '=');
    EXPECT_EQ(ScaleSettingsForm::ParseStart(QStringLiteral("A")), 65);
    EXPECT_EQ(ScaleSettingsForm::ParseStart(QStringLiteral("=")), '=');
    for (const char16_t *bad : {u"", u"AB", u"0x2", u"0x0G", u"0x+1", u"中", u"0x123", u"x02 "})
        EXPECT_FALSE(ScaleSettingsForm::ParseStart(QString::fromUtf16(bad))) << QString::fromUtf16(bad).toStdString();
}

TEST(ScaleSettingsForm, SavingStoresEveryFieldWithItsMessages)
{
    TempRoot root;
    ScriptedPrompter p;
    ClientContext context(root.path());
    ASSERT_TRUE(context.Start(p));
    ScaleSettingsForm form(context, p);
    EXPECT_EQ(form.values().port, QStringLiteral("COM1"));
    EXPECT_EQ(form.values().start, QStringLiteral("="));
    ScaleSettingsForm::Values &v = form.values();
    v.enabled = true;
    v.port = QStringLiteral("COM3");
    v.baud = QStringLiteral("9600");
    v.dataBits = QStringLiteral("7");
    v.parity = 2;
    v.stopBits = 2;
    v.type = 4;
    v.transmission = 1;
    v.dataLength = QStringLiteral("45");
    v.start = QStringLiteral("0x02");
    ASSERT_TRUE(form.Save());
    EXPECT_EQ(p.lastText(), QStringLiteral("设置已经保存。"));
    EXPECT_EQ(p.shown().last().kind, ScriptedPrompter::Kind::Inform);
    const ScaleSettings s = storedIn(root);
    EXPECT_EQ(s.enabled, 1);
    EXPECT_EQ(s.port, 2);
    EXPECT_EQ(s.baud, 9600);
    EXPECT_EQ(s.dataBits, 7);
    EXPECT_EQ(s.parity, 2);
    EXPECT_EQ(s.stopBits, 2);
    EXPECT_EQ(s.type, 4);
    EXPECT_EQ(s.transmission, 1);
    EXPECT_EQ(s.dataLength, 30) << "limited to 30";
    EXPECT_EQ(s.startChar, 2);
    EXPECT_EQ(context.scaleSettings().FrameThreshold(), 60);
    EXPECT_EQ(form.values().start, QStringLiteral("0x02"));
    EXPECT_EQ(form.values().dataLength, QStringLiteral("30"));
    EXPECT_FALSE(QFileInfo::exists(root.file(ScaleDevice::fileName())));

    // A device path is kept beside the file; choosing a COM port again drops it.
    v.port = QStringLiteral("/dev/ttyUSB0");
    ASSERT_TRUE(form.Save());
    EXPECT_EQ(root.read(ScaleDevice::fileName()), "/dev/ttyUSB0\n");
    EXPECT_EQ(storedIn(root).port, 2) << "the 84 bytes keep their port";
    EXPECT_EQ(context.scaleDevice().DeviceFor(context.scaleSettings()), QStringLiteral("/dev/ttyUSB0"));
    v.port = QStringLiteral("COM1");
    ASSERT_TRUE(form.Save());
    EXPECT_FALSE(QFileInfo::exists(root.file(ScaleDevice::fileName())));
    EXPECT_EQ(storedIn(root).port, 0);
}

TEST(ScaleSettingsForm, BadValuesAreRefusedOrLeftWithAMessage)
{
    TempRoot root;
    ScriptedPrompter p;
    ClientContext context(root.path());
    ASSERT_TRUE(context.Start(p));
    ScaleSettingsForm form(context, p);

    form.values().start = QStringLiteral("abc");
    form.values().baud = QStringLiteral("4800");
    ASSERT_TRUE(form.Save());
    ASSERT_EQ(p.shown().size(), 2);
    EXPECT_EQ(p.shown().at(0).text,
              QStringLiteral("开始字符“abc”无效，应为一个字符或 0xNN 形式的控制码；开始字符仍为“=”。"));
    EXPECT_EQ(p.shown().at(1).text, QStringLiteral("设置已经保存。"));
    EXPECT_EQ(storedIn(root).startChar, '=');
    EXPECT_EQ(storedIn(root).baud, 4800);
    EXPECT_EQ(form.values().start, QStringLiteral("="));

    p.clear();
    form.values().port = QStringLiteral("LPT1");
    EXPECT_FALSE(form.Save());
    EXPECT_EQ(p.lastText(),
              QStringLiteral("连接端口无效：LPT1\r\n请选择 COM1-COM4，或输入设备路径，如 /dev/ttyUSB0。"));
    form.values().port = QStringLiteral("COM2");
    form.values().baud = QStringLiteral("fast");
    EXPECT_FALSE(form.Save());
    EXPECT_EQ(p.lastText(), QStringLiteral("波特率无效：fast"));
    EXPECT_EQ(storedIn(root).port, 0) << "nothing was written";

    // The file cannot be written: a folder stands in its place.
    form.values().baud = QStringLiteral("1200");
    ASSERT_TRUE(QFile::remove(root.file(ScaleSettings::fileName())));
    ASSERT_TRUE(QDir().mkpath(root.file(ScaleSettings::fileName())));
    p.clear();
    EXPECT_FALSE(form.Save());
    EXPECT_EQ(p.lastText(), QStringLiteral("文件打开错误，设置未能保存。"));
}

TEST(ScaleSettingsForm, TheTestWeightAndTheCurrentValuesForATest)
{
    EXPECT_EQ(ScaleSettingsForm::TestWeightText(1200), QStringLiteral("1.200"));
    EXPECT_EQ(ScaleSettingsForm::TestWeightText(1), QStringLiteral("0.001"));
    EXPECT_EQ(ScaleSettingsForm::TestWeightText(0), QStringLiteral("0"));

    TempRoot root;
    ScriptedPrompter p;
    ClientContext context(root.path());
    ASSERT_TRUE(context.Start(p));
    ScaleSettingsForm form(context, p);
    form.values().port = QStringLiteral("/dev/pts/77");
    form.values().baud = QStringLiteral("9600");
    form.values().type = 2;
    const std::optional<ScaleSettingsForm::Choice> c = form.Current();
    ASSERT_TRUE(c);
    EXPECT_EQ(c->device(), QStringLiteral("/dev/pts/77"));
    EXPECT_EQ(c->settings.baud, 9600);
    EXPECT_EQ(c->settings.type, 2);
    EXPECT_EQ(context.scaleSettings().baud, 1200) << "a test does not store the values";
    EXPECT_FALSE(QFileInfo::exists(root.file(ScaleSettings::fileName())));
}
