#include "scale/ScaleDetector.h"
#include "scale/ScaleParser.h"
#include "support/ScaleFrames.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace quarvel;

namespace {

// A parcel put on the plate: the weight climbs, then settles.
const QList<int> kPlacing = {0, 0, 0, 350, 820, 1190, 1240, 1250, 1250, 1250, 1250, 1250, 1250, 1250, 1250, 1250};

QByteArray reversed(QByteArray text)
{
    std::reverse(text.begin(), text.end());
    return text;
}

QByteArray stream(const QList<int> &weights, const std::function<QByteArray(int)> &frame, int perWeight = 3)
{
    QByteArray out;
    for (int g : weights)
        for (int i = 0; i < perWeight; ++i)
            out += frame(g);
    return out;
}

QByteArray kgText(int grams, int decimals, int width)
{
    return QByteArray::number(grams / 1000.0, 'f', decimals).rightJustified(width, '0');
}

QByteArray bcdFrame(int grams)
{
    const auto byte = [](int two) { return char(((two / 10) << 4) | (two % 10)); };
    // Status 4: the value is grams; a sixth byte as some scales send.
    return QByteArray("\xFF\x04", 2) + byte(grams % 100) + byte(grams / 100 % 100) + byte(grams / 10000 % 100) + '\x0D';
}

ScaleDetector::Guess detect(const QByteArray &bytes)
{
    return ScaleDetector::Detect(bytes, ScaleSettings());
}

} // namespace

TEST(ScaleDetector, EachFormatIsRecognisedFromAParcelBeingPlaced)
{
    const struct {
        int type;
        std::function<QByteArray(int)> frame;
        int length;
    } cases[] = {
        {ScaleSettings::KilogramsReversed, [](int g) { return "=" + reversed(kgText(g, 2, 7)); }, 8},
        {ScaleSettings::Kilograms, [](int g) { return "=" + kgText(g, 3, 8); }, 9},
        {ScaleSettings::GramsReversed,
         [](int g) { return "=" + reversed(QByteArray::number(g).rightJustified(6, '0')); }, 7},
        {ScaleSettings::Grams, [](int g) { return "=" + QByteArray::number(g).rightJustified(6, '0'); }, 7},
        {ScaleSettings::Kilograms, [](int g) { return "\x02+" + kgText(g, 3, 7) + "kg\r\n"; }, 13},
    };
    for (const auto &c : cases) {
        const ScaleDetector::Guess g = detect(stream(kPlacing, c.frame));
        EXPECT_TRUE(g.found) << c.type;
        EXPECT_EQ(g.type, c.type) << c.frame(1250).toStdString();
        EXPECT_EQ(g.dataLength, c.length) << c.type;
        EXPECT_EQ(g.grams, 1250) << c.type;
        EXPECT_GE(g.confidence, 80) << c.type;
        EXPECT_GE(g.frames, 40) << c.type;
        // The proposal reads the stream right through the parser.
        ScaleParser parser(g.Apply(ScaleSettings()));
        QList<int> weights;
        for (int r : parser.ReadSteps(stream({1250}, c.frame, 10)))
            if (r >= 0)
                weights.append(r);
        EXPECT_FALSE(weights.isEmpty());
        EXPECT_EQ(weights, QList<int>(weights.size(), 1250)) << c.type;
    }
    EXPECT_EQ(detect(stream(kPlacing, [](int g) { return "\x02+" + kgText(g, 3, 7) + "kg\r\n"; })).start, 2);
}

TEST(ScaleDetector, BcdFramesAreRecognised)
{
    const ScaleDetector::Guess g = detect(stream(kPlacing, bcdFrame));
    EXPECT_TRUE(g.found);
    EXPECT_EQ(g.type, ScaleSettings::Bcd);
    EXPECT_EQ(g.grams, 1250);
    EXPECT_GE(g.confidence, 80);
    EXPECT_TRUE(g.Text().startsWith(QStringLiteral("识别结果：2-BCD(6B3D)。")));
}

TEST(ScaleDetector, ASteadyWeightIsJudgedByItsPaddingWithLessConfidence)
{
    const ScaleDetector::Guess reversedKg = detect(stream(
        {1200}, [](int) { return QByteArray("=02.1000"); }, 30));
    EXPECT_EQ(reversedKg.type, ScaleSettings::KilogramsReversed);
    EXPECT_EQ(reversedKg.grams, 1200);
    EXPECT_EQ(reversedKg.dataLength, 8);
    const ScaleDetector::Guess grams = detect(stream(
        {1250}, [](int) { return QByteArray("=001250"); }, 30));
    EXPECT_EQ(grams.type, ScaleSettings::Grams);
    EXPECT_EQ(grams.grams, 1250);
    EXPECT_LT(grams.confidence, 80);
    EXPECT_GE(grams.confidence, 50);
    EXPECT_EQ(grams.Text(), QStringLiteral("识别结果：4-型(克正常序)，开始字符 =，数据长度 7 字节。\r\n"
                                           "把握：%1%（%2 帧，读数 1.250 公斤）")
                                .arg(grams.confidence)
                                .arg(grams.frames));
}

TEST(ScaleDetector, NoiseNothingAndTooFewFramesAreNotGuessed)
{
    QByteArray noise(6000, '\0');
    QRandomGenerator(3).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    const ScaleDetector::Guess n = detect(noise);
    EXPECT_FALSE(n.found);
    EXPECT_TRUE(n.Text().startsWith(QStringLiteral("未能识别电子秤数据：收到 6000 字节")));
    const ScaleDetector::Guess none = detect(QByteArray());
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.Text(), QStringLiteral("没有收到任何数据：请检查连接端口，以及电子秤是否开机、是否在发送数据。"));
    EXPECT_FALSE(detect("=001250=001250").found);
    // Frames in noise: still found, with noise lowering the confidence.
    QByteArray mixed;
    for (int i = 0; i < 40; ++i)
        mixed += "=001250" + noise.mid(i * 3, i % 4 == 0 ? 5 : 0);
    const ScaleDetector::Guess m = detect(mixed);
    EXPECT_TRUE(m.found);
    EXPECT_EQ(m.grams, 1250);
}

TEST(ScaleDetector, ThePlainFormatsTellEachReadingOfTheProposal)
{
    // A parcel, then the scale goes below zero: the last weight read is the
    // parcel's, and the negative frames are told as such, not the parcel's.
    const auto grams = [](int g) { return "=" + QByteArray::number(g).rightJustified(6, '0'); };
    const ScaleDetector::Guess g =
        detect(stream(kPlacing, grams) + stream(
                                             {0}, [](int) { return QByteArray("=-00125"); }, 20));
    ASSERT_TRUE(g.found);
    EXPECT_EQ(g.type, ScaleSettings::Grams);
    EXPECT_EQ(g.grams, 1250);
    EXPECT_GE(g.refused.value(ScaleReading::Status::Negative), 1);
    EXPECT_LE(g.refused.value(ScaleReading::Status::Negative), 3);
    EXPECT_TRUE(g.Text().contains(QStringLiteral("读数 1.250 公斤；负重 "))) << g.Text().toStdString();
}

TEST(ScaleDetector, TheFormatsWithAStatusAreRecognisedWithTheirReadings)
{
    using namespace ScaleFrames;
    // Moving while the parcel goes on, stable once it rests.
    const auto moving = [](int g) { return g != 0 && g != 1250; };
    const struct {
        int type;
        int length;
        std::function<QByteArray(int)> frame;
    } cases[] = {
        {ScaleSettings::StatusLines, 18,
         [&](int g) { return QByteArray(moving(g) ? "US" : "ST") + ",GS,+" + kgText(g, 3, 8) + "kg\r\n"; }},
        {ScaleSettings::StxEtx, 18, [](int g) { return Weighbridge('+', g, 3); }},
        {ScaleSettings::Toledo, 17, [&](int g) { return Toledo(g, 5, Kg | (moving(g) ? Motion : 0)); }},
        {ScaleSettings::Toledo, 18, [&](int g) { return Toledo(g, 5, Kg | (moving(g) ? Motion : 0), 0, true); }},
    };
    for (const auto &c : cases) {
        const ScaleDetector::Guess g = detect(stream(kPlacing, c.frame));
        EXPECT_TRUE(g.found) << c.type;
        EXPECT_EQ(g.type, c.type);
        EXPECT_EQ(g.grams, 1250) << c.type;
        EXPECT_GE(g.confidence, 90) << c.type;
        EXPECT_GE(g.frames, 40) << c.type;
        EXPECT_FALSE(g.parity.found);
        if (c.type == ScaleSettings::Toledo) {
            EXPECT_EQ(g.dataLength, c.length);
            EXPECT_EQ(g.SetCommand(), QStringLiteral("scale set type=7 length=%1").arg(c.length));
        } else {
            EXPECT_EQ(g.SetCommand(), QStringLiteral("scale set type=%1").arg(c.type));
        }
        if (c.type != ScaleSettings::StxEtx) {
            EXPECT_EQ(g.refused.value(ScaleReading::Status::Unstable), 3 * 4) << c.type;
        }
    }
}

TEST(ScaleDetector, WhatWasReadWrongBeforeIsReadAsTheScaleMeansIt)
{
    using namespace ScaleFrames;
    // A gram scale, a lab balance and a pound scale are not a thousand times
    // heavier; a weighbridge's check characters are no digits; the status
    // bytes of the continuous output are no weight.
    const struct {
        QByteArray frame;
        int type;
        int grams;
    } cases[] = {
        {"ST,GS,   245.6 g\r\n", ScaleSettings::StatusLines, 245},
        {"N  0.3749 g\r\n", ScaleSettings::Kilograms, 0},
        {"ww001.250lb\r\n", ScaleSettings::Kilograms, 567},
        {Weighbridge('+', 1560, 0), ScaleSettings::StxEtx, 1560000},
        {Toledo1250(), ScaleSettings::Toledo, 1250},
    };
    for (const auto &c : cases) {
        const ScaleDetector::Guess g = detect(stream(
            {0}, [&](int) { return c.frame; }, 30));
        EXPECT_TRUE(g.found) << c.frame.toStdString();
        EXPECT_EQ(g.type, c.type) << c.frame.toStdString();
        EXPECT_EQ(g.grams, c.grams) << c.frame.toStdString();
    }
    // A sequence of weighbridge frames whose weight changes.
    const ScaleDetector::Guess climbing = detect(stream(
        {1500, 1520, 1540, 1560, 1560, 1560}, [](int kg) { return Weighbridge('+', kg, 0); }, 5));
    EXPECT_EQ(climbing.type, ScaleSettings::StxEtx);
    EXPECT_EQ(climbing.grams, 1560000);
}

TEST(ScaleDetector, AStreamNoFormatExplainsIsNotGuessedAt)
{
    using namespace ScaleFrames;
    // Weighbridge frames whose checks all fail: no text format reads them either.
    QByteArray broken;
    for (int g : kPlacing) {
        QByteArray f = Weighbridge('+', g, 3);
        f[f.size() - 2] = f[f.size() - 2] == '0' ? '1' : '0';
        broken += f + f;
    }
    const ScaleDetector::Guess g = detect(broken);
    EXPECT_FALSE(g.found) << g.Text().toStdString();
    EXPECT_TRUE(g.Text().startsWith(QStringLiteral("未能识别电子秤数据")));
    // The continuous output with two numbers in a frame, cut where no CR is.
    QByteArray noCr;
    for (int i = 0; i < 40; ++i)
        noCr += Toledo1250().chopped(1) + ' ';
    EXPECT_FALSE(detect(noCr).found) << detect(noCr).Text().toStdString();
}

TEST(ScaleDetector, SevenBitDataWithParityIsToldAndItsFormatFound)
{
    using namespace ScaleFrames;
    const QByteArray text = stream(kPlacing, [](int g) { return "ST,GS,+" + kgText(g, 3, 8) + "kg\r\n"; });
    const ScaleDetector::Guess even = detect(EvenParity(text));
    ASSERT_TRUE(even.parity.found);
    EXPECT_EQ(even.parity.parity, 2);
    EXPECT_EQ(even.parity.Name(), QStringLiteral("7E1"));
    EXPECT_TRUE(even.found);
    EXPECT_EQ(even.type, ScaleSettings::StatusLines);
    EXPECT_EQ(even.grams, 1250);
    EXPECT_EQ(even.SetCommand(), QStringLiteral("scale set type=5 databits=7 parity=E"));
    EXPECT_TRUE(even.Text().endsWith(QStringLiteral("请把数据位设为 7，奇偶校验设为“E-偶校验”。")))
        << even.Text().toStdString();
    const ScaleSettings applied = even.Apply(ScaleSettings());
    EXPECT_EQ(applied.dataBits, 7);
    EXPECT_EQ(applied.parity, 2);

    // Odd parity: the other bytes carry the high bit.
    QByteArray odd = EvenParity(text);
    for (char &c : odd)
        c = char(c ^ 0x80);
    EXPECT_EQ(detect(odd).parity.parity, 1);
    // Mark parity: the high bit always set.
    QByteArray mark = text;
    for (char &c : mark)
        c = char(c | 0x80);
    EXPECT_EQ(detect(mark).parity.Name(), QStringLiteral("7M1"));

    // Plain 8-bit text and noise give no hint.
    EXPECT_FALSE(detect(text).parity.found);
    QByteArray noise(6000, '\0');
    QRandomGenerator(4).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    EXPECT_FALSE(detect(noise).parity.found);
    // Parity alone, with frames no format reads: unknown, but the hint is given.
    const ScaleDetector::Guess hintOnly = detect(EvenParity(QByteArray(400, '%') + QByteArray(400, '$')));
    EXPECT_FALSE(hintOnly.found);
    EXPECT_EQ(hintOnly.parity.Name(), QStringLiteral("7E1"));
    EXPECT_TRUE(hintOnly.Text().contains(QStringLiteral("（7E1）"))) << hintOnly.Text().toStdString();
}
