#include "scale/ScaleParser.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

ScaleSettings textScale(int type, int dataLength, char start = '=')
{
    ScaleSettings s;
    s.type = static_cast<std::uint8_t>(type);
    s.dataLength = static_cast<std::uint8_t>(dataLength);
    s.startChar = static_cast<std::uint8_t>(start);
    return s;
}

ScaleSettings bcdScale()
{
    ScaleSettings s;
    s.type = ScaleSettings::Bcd;
    return s;
}

QByteArray repeated(const QByteArray &frame, int times)
{
    QByteArray out;
    for (int i = 0; i < times; ++i)
        out += frame;
    return out;
}

// The weights a stream gives, read in the link's steps.
QList<int> weights(ScaleParser &parser, const QByteArray &stream)
{
    QList<int> out;
    for (int r : parser.ReadSteps(stream))
        if (r >= 0)
            out.append(r);
    return out;
}

QByteArray bcd(std::uint8_t status, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2)
{
    return QByteArray("\xFF", 1) + char(status) + char(b0) + char(b1) + char(b2);
}

} // namespace

TEST(ScaleParser, TheFourTextFormatsReadTheirExamples)
{
    // Type 0: =02.1000= reversed is 0001.20, 1.2 kg.
    ScaleParser kgReversed(textScale(ScaleSettings::KilogramsReversed, 18));
    const QList<int> w0 = weights(kgReversed, repeated("=02.1000", 20));
    ASSERT_FALSE(w0.isEmpty());
    EXPECT_EQ(w0, QList<int>(w0.size(), 1200));
    EXPECT_EQ(kgReversed.lastStep(), 10); // two decimals of a kilogram

    // Type 4: =001250= is 1250 g.
    ScaleParser grams(textScale(ScaleSettings::Grams, 18));
    const QList<int> w4 = weights(grams, repeated("=001250", 20));
    ASSERT_FALSE(w4.isEmpty());
    EXPECT_EQ(w4, QList<int>(w4.size(), 1250));
    EXPECT_EQ(grams.lastStep(), 1);

    ScaleParser kg(textScale(ScaleSettings::Kilograms, 10));
    EXPECT_EQ(weights(kg, repeated("=0001.250", 10)).value(0), 1250);
    EXPECT_EQ(kg.lastStep(), 1);

    ScaleParser gramsReversed(textScale(ScaleSettings::GramsReversed, 10));
    EXPECT_EQ(weights(gramsReversed, repeated("=052100", 10)).value(0), 1250);
}

TEST(ScaleParser, ATextFrameIsLookedForOnlyAtTwiceTheDataLength)
{
    ScaleParser parser(textScale(ScaleSettings::Kilograms, 9));
    const QByteArray stream = repeated("=0001.250", 2); // 18 bytes
    EXPECT_EQ(parser.ReadWeight(stream.first(17)), ScaleParser::kNoFrame);
    EXPECT_EQ(parser.gathered(), 17);
    EXPECT_EQ(parser.ReadWeight(stream.last(1)), 1250);
    EXPECT_EQ(parser.gathered(), 0);

    // More than 60 bytes are never waited for, whatever the length says.
    ScaleSettings longFrames = textScale(ScaleSettings::Grams, 200);
    EXPECT_EQ(longFrames.FrameThreshold(), 120);
}

TEST(ScaleParser, BcdFramesWithTheirDecimalCodes)
{
    const struct {
        std::uint8_t status;
        int grams;
        int step;
    } cases[] = {
        {4, 1234, 1}, {1, 1234000, 1000}, {2, 123400, 100}, {3, 12340, 10}, {5, 123, 1},
        {6, 12, 1},   {0, 1234, 1},       {7, 1234, 1},     {0x44, 1234, 1}}; // bit 0x40 is not one of the refused bits
    for (const auto &c : cases) {
        ScaleParser parser(bcdScale());
        EXPECT_EQ(parser.ReadWeight(bcd(c.status, 0x34, 0x12, 0x00) + QByteArray(7, '\0')), c.grams) << int(c.status);
        EXPECT_EQ(parser.lastStep(), c.step) << int(c.status);
    }
    // Six digits, least significant byte first; the high byte's nibbles are
    // the hundred-thousands and ten-thousands.
    ScaleParser six(bcdScale());
    EXPECT_EQ(six.ReadWeight(bcd(4, 0x56, 0x34, 0x12) + QByteArray(7, '\0')), 123456);
}

TEST(ScaleParser, BcdNeedsTwelveBytesAndRefusesBadStatusAndBadDigits)
{
    ScaleParser parser(bcdScale());
    const QByteArray frame = bcd(4, 0x34, 0x12, 0x00);
    EXPECT_EQ(parser.ReadWeight(frame), ScaleParser::kNoFrame);
    EXPECT_EQ(parser.ReadWeight(frame.first(4)), ScaleParser::kNoFrame);
    EXPECT_EQ(parser.ReadWeight(frame.first(3)), 1234);
    EXPECT_EQ(parser.gathered(), 0);
    EXPECT_EQ(parser.ReadWeight(QByteArray(11, '\x01')), ScaleParser::kNoFrame);
    EXPECT_EQ(parser.gathered(), 11);

    for (std::uint8_t bad : {0x0C, 0x14, 0x24, 0x84}) {
        ScaleParser p(bcdScale());
        EXPECT_EQ(p.ReadWeight(bcd(bad, 0x34, 0x12, 0) + QByteArray(7, '\0')), ScaleParser::kNoFrame) << int(bad);
        EXPECT_EQ(p.gathered(), 0) << "the frame is used up";
    }
    // A nibble above 9 is not a digit: no weight rather than a wrong one.
    ScaleParser digits(bcdScale());
    EXPECT_EQ(digits.ReadWeight(bcd(4, 0x3A, 0x12, 0) + QByteArray(7, '\0')), ScaleParser::kNoFrame);
    // 0xFF only from the eighth byte on: not found, the bytes are dropped.
    ScaleParser late(bcdScale());
    EXPECT_EQ(late.ReadWeight(QByteArray(7, '\x11') + bcd(4, 0x34, 0x12, 0)), ScaleParser::kNoFrame);
    EXPECT_EQ(late.gathered(), 0);
}

TEST(ScaleParser, JunkBetweenFramesHighBytesAndControlCharacters)
{
    ScaleParser parser(textScale(ScaleSettings::KilogramsReversed, 18));
    const QByteArray noisy = QByteArray("\x01\xFE\x7F", 3) + "=0\x80" + "2.\x03" + "1000" + "\xC8\xD5\x00" + "junk";
    QByteArray stream;
    for (int i = 0; i < 30; ++i)
        stream += QByteArray::fromRawData(noisy.constData(), noisy.size());
    const QList<int> w = weights(parser, stream);
    ASSERT_FALSE(w.isEmpty());
    for (int g : w)
        EXPECT_EQ(g, 1200);
}

TEST(ScaleParser, AControlCodeStartCharacterIsKept)
{
    // STX 001250 ETX CR LF: the start byte 2 must survive the dropping of
    // the bytes below 10.
    ScaleParser parser(textScale(ScaleSettings::Grams, 10, '\x02'));
    EXPECT_EQ(weights(parser, repeated("\x02"
                                       "001250\x03\r\n",
                                       10))
                  .value(0),
              1250);
}

TEST(ScaleParser, AStartCharacterThatNeverComesGivesNoWeightAndNoGrowth)
{
    ScaleParser parser(textScale(ScaleSettings::Kilograms, 18));
    int undelimited = 0;
    for (int r : parser.ReadSteps(repeated("0001.250 kg\r\n", 1000))) {
        EXPECT_LT(r, 0);
        undelimited += r == ScaleParser::kUndelimited;
        EXPECT_LE(parser.gathered(), ScaleParser::kCapacity);
    }
    EXPECT_GT(undelimited, 100);
}

TEST(ScaleParser, AMegabyteOfNoiseStaysBounded)
{
    QRandomGenerator random(17);
    QByteArray noise(1 << 20, '\0');
    random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    for (int type = 0; type < 6; ++type) {
        ScaleParser parser(textScale(type, 18));
        for (qsizetype at = 0; at < noise.size(); at += 63) {
            const int r =
                parser.ReadWeight(QByteArrayView(noise).sliced(at, std::min<qsizetype>(63, noise.size() - at)));
            ASSERT_GE(r, ScaleParser::kRefused);
            ASSERT_LE(r, ScaleReading::kHeaviestGrams);
            ASSERT_LE(parser.gathered(), ScaleParser::kCapacity);
        }
        // The whole megabyte in one piece keeps only the newest bytes.
        ScaleParser whole(textScale(type, 18));
        whole.ReadWeight(noise);
        EXPECT_LE(whole.gathered(), ScaleParser::kCapacity);
    }
}

TEST(ScaleParser, AStreamCutInTheMiddleOfAFrameWaitsForTheRest)
{
    ScaleParser parser(textScale(ScaleSettings::KilogramsReversed, 9));
    EXPECT_EQ(parser.ReadWeight("=02.10"), ScaleParser::kNoFrame);
    EXPECT_EQ(parser.ReadWeight(""), ScaleParser::kNoFrame);
    EXPECT_EQ(parser.gathered(), 6);
    EXPECT_EQ(parser.ReadWeight("00=02.1000=0"), 1200);

    // The gathering after a reading starts in the middle of a frame; the
    // next start character is found.
    EXPECT_EQ(parser.ReadWeight("2.1000=02.1000=02."), 1200);
}

TEST(ScaleParser, FramesWithoutADigitAndFramesThatCannotBeDelimited)
{
    ScaleParser reversed(textScale(ScaleSettings::KilogramsReversed, 2));
    EXPECT_EQ(reversed.ReadWeight("=ab="), ScaleParser::kNoDigit);
    EXPECT_EQ(reversed.gathered(), 0) << "a frame without a digit is used up too";
    ScaleParser normal(textScale(ScaleSettings::Grams, 2));
    EXPECT_EQ(normal.ReadWeight("=--="), ScaleParser::kNoDigit);
    ScaleParser once(textScale(ScaleSettings::Grams, 2));
    EXPECT_EQ(once.ReadWeight("12=34"), ScaleParser::kUndelimited);
    ScaleParser unknown(textScale(9, 2));
    EXPECT_EQ(unknown.ReadWeight("=12="), ScaleParser::kUndelimited);
}

TEST(ScaleParser, KilogramsAreConvertedInDecimalsAndHugeNumbersAreRefused)
{
    const struct {
        int type;
        const char *frame;
        int grams;
    } cases[] = {
        {ScaleSettings::Kilograms, "=1.005=", 1005},     // 1.005 * 1000.0 would truncate to 1004
        {ScaleSettings::Kilograms, "=0.29=", 290},       // likewise 289
        {ScaleSettings::Kilograms, "=12.34567=", 12345}, // truncated toward zero
        {ScaleSettings::Kilograms, "=+ 2.5kg=", 2500},   // up to the first digit
        {ScaleSettings::Kilograms, "=1.5e1=", 15000},    // an exponent, as atof reads it
        {ScaleSettings::Kilograms, "=2e-3=", 2},         // its minus is no sign
        {ScaleSettings::Kilograms, "=3e=", 3000},        // "e" without digits is no exponent
        {ScaleSettings::Kilograms, "=9e99=", ScaleParser::kRefused},
        {ScaleSettings::Kilograms, "=3000000=", ScaleParser::kRefused},
        {ScaleSettings::Kilograms, "=999999.999=", 999999999}, // the heaviest the weight field shows
        {ScaleSettings::Kilograms, "=1000000.000=", ScaleParser::kRefused},
        {ScaleSettings::Kilograms, "=0000000000000000000001.5=", 1500},
        {ScaleSettings::Grams, "=99999999999=", ScaleParser::kRefused},
        {ScaleSettings::Grams, "=00000000000000001250=", 1250},
        {ScaleSettings::Grams, "=12.9=", 12},
        {ScaleSettings::Grams, "=1e3=", 1},                   // atoi stops at the letter
        {ScaleSettings::KilogramsReversed, "=0.1 kg=", 1000}, // from the last digit back: 1.0
    };
    for (const auto &c : cases) {
        const QByteArray frame(c.frame);
        const ScaleParser::Frame f = ScaleParser::ParseText(frame, c.type, '=');
        EXPECT_EQ(f.result, c.grams) << c.frame;
        if (c.grams == ScaleParser::kRefused) {
            EXPECT_EQ(f.reading.status, ScaleReading::Status::OutOfRange) << c.frame;
        }
    }
}

TEST(ScaleParser, TheFramesOwnUnitSignAndStatusWinOverTheFormat)
{
    using S = ScaleReading::Status;
    const struct {
        int type;
        const char *frame;
        int grams;
        S status;
    } cases[] = {
        // Read a thousand times too heavy when the format's kilograms won.
        {ScaleSettings::Kilograms, "=ST,GS,   245.6 g=", 245, S::Stable},
        {ScaleSettings::Kilograms, "=N  0.3749 g=", 0, S::Stable},
        {ScaleSettings::Grams, "=+0.125kg=", 125, S::Stable}, // atoi would say 0
        {ScaleSettings::Kilograms, "=ww001.250lb=", 567, S::Stable},
        {ScaleSettings::Kilograms, "=ww001.250LB=", 567, S::Stable},
        {ScaleSettings::Grams, "=  32.00 oz=", 907, S::Stable},
        {ScaleSettings::KilogramsReversed, "=g052=", 250, S::Stable}, // "250g" sent backwards
        {ScaleSettings::Kilograms, "=ST,GS,-  0.125kg=", ScaleParser::kRefused, S::Negative},
        {ScaleSettings::KilogramsReversed, "=00.1000-=", ScaleParser::kRefused, S::Negative},
        {ScaleSettings::Kilograms, "=OL,GS=", ScaleParser::kRefused, S::Overload},
        {ScaleSettings::Kilograms, "=OL,GS,+0000.000kg=", ScaleParser::kRefused, S::Overload},
        {ScaleSettings::Kilograms, "=  over  =", ScaleParser::kRefused, S::Overload},
        {ScaleSettings::Grams, "=     H  =", ScaleParser::kRefused, S::Overload},
        {ScaleSettings::Kilograms, "=US,GS,+0001.180kg=", ScaleParser::kRefused, S::Unstable},
        {ScaleSettings::Kilograms, "=    1.250 kg  ?=", ScaleParser::kRefused, S::Unstable},
        {ScaleSettings::Grams, "=  12 pcs=", ScaleParser::kRefused, S::BadUnit},
        {ScaleSettings::Grams, "=  55.0 %=", ScaleParser::kRefused, S::BadUnit},
        {ScaleSettings::Kilograms, "=QT,+0000010=", ScaleParser::kRefused, S::BadUnit},
        {ScaleSettings::Kilograms, "=    L   =", ScaleParser::kRefused, S::Negative},
    };
    for (const auto &c : cases) {
        const ScaleParser::Frame f = ScaleParser::ParseText(QByteArray(c.frame), c.type, '=');
        EXPECT_EQ(f.result, c.grams) << c.frame;
        EXPECT_EQ(f.reading.status, c.status) << c.frame;
    }
    // A frame that says it is stable is marked so: it is taken at once.
    EXPECT_TRUE(ScaleParser::ParseText(QByteArray("=ST,GS,+0001.250kg="), 1, '=').reading.marked);
    EXPECT_FALSE(ScaleParser::ParseText(QByteArray("=0001.250="), 1, '=').reading.marked);
}

TEST(ScaleParser, DigitsBehindAParityBitMakeTheFrameGarbled)
{
    // "=001250" from a 7E1 scale read at 8N1: "1" and "2" carry the parity
    // bit; dropping them would read 50 g.
    ScaleParser parser(textScale(ScaleSettings::Grams, 8));
    const QByteArray frame("=00\xB1\xB2"
                           "50\r",
                           8);
    const QList<ScaleReading> r = parser.ReadAll(repeated(frame, 4));
    ASSERT_FALSE(r.isEmpty());
    for (const ScaleReading &reading : r)
        EXPECT_EQ(reading.status, ScaleReading::Status::Garbled);
}

TEST(ScaleParser, WhatArrivesAtOnceIsBounded)
{
    ScaleParser parser(textScale(ScaleSettings::Grams, 18));
    EXPECT_EQ(parser.ReadWeight(QByteArray(100000, 'x') + "=001250=001250"), 1250);
    ScaleParser bcdParser(bcdScale());
    EXPECT_EQ(bcdParser.ReadWeight(QByteArray(5000, '\x11')), ScaleParser::kNoFrame);
    EXPECT_EQ(bcdParser.gathered(), 0);
}
