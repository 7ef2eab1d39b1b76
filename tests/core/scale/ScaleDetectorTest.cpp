#include "scale/ScaleDetector.h"
#include "scale/ScaleParser.h"

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
