#include "scale/ScaleParser.h"
#include "support/ScaleFrames.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace quarvel;
using S = ScaleReading::Status;

namespace {

ScaleSettings family(int type, int dataLength = 18)
{
    ScaleSettings s;
    s.type = static_cast<std::uint8_t>(type);
    s.dataLength = static_cast<std::uint8_t>(dataLength);
    return s;
}

QList<ScaleReading> readAll(const ScaleSettings &s, const QByteArray &stream)
{
    ScaleParser parser(s);
    return parser.ReadAll(stream);
}

// The readings of a stream fed in pieces of `piece` bytes.
QList<ScaleReading> readInPieces(const ScaleSettings &s, const QByteArray &stream, qsizetype piece)
{
    ScaleParser parser(s);
    QList<ScaleReading> out;
    for (qsizetype at = 0; at < stream.size(); at += piece)
        out += parser.Read(QByteArrayView(stream).sliced(at, std::min(piece, stream.size() - at)));
    return out;
}

// "1250 stable", "-125 negative", "- overload": what a reading says.
std::string said(const ScaleReading &r)
{
    return ((r.hasNumber ? QString::number(r.grams) : QStringLiteral("-")) + u' ' + r.word() +
            (r.marked ? QStringLiteral(" marked") : QString()))
        .toStdString();
}

std::vector<std::string> said(const QList<ScaleReading> &readings)
{
    std::vector<std::string> out;
    for (const ScaleReading &r : readings)
        out.push_back(said(r));
    return out;
}

struct Case {
    QByteArray frame;
    std::string reading;
};

void expectEach(const ScaleSettings &s, const std::vector<Case> &cases)
{
    for (const Case &c : cases) {
        const QList<ScaleReading> r = readAll(s, c.frame);
        ASSERT_EQ(r.size(), 1) << c.frame.toStdString();
        EXPECT_EQ(said(r.first()), c.reading) << c.frame.toStdString();
    }
}

QByteArray noise(int bytes, quint32 seed, QByteArray without)
{
    QByteArray n(bytes, '\0');
    QRandomGenerator random(seed);
    for (char &c : n) {
        do
            c = char(random.bounded(256));
        while (without.contains(c));
    }
    return n;
}

} // namespace

TEST(ScaleFamilies, StatusLinesSayTheirUnitSignAndState)
{
    using ScaleFrames::Comma;
    expectEach(family(ScaleSettings::StatusLines),
               {
                   {Comma("ST", "+0001.250"), "1250 stable marked"},
                   {Comma("ST", "   245.6", " g"), "245 stable marked"}, // grams, not 245.6 kg
                   {Comma("ST", "+0001.250", "lb"), "567 stable marked"},
                   {Comma("ST", "+00012.34", "oz"), "350 stable marked"},
                   {Comma("ST", "+0001.250", "KG"), "1250 stable marked"},
                   {Comma("ST", "+00.00125", " t"), "1250 stable marked"},
                   {"ST,NT,+0001.250kg\r\n", "1250 stable marked"},
                   {"ST,+0001.278, g\r\n", "1 stable marked"}, // the unit as a field of its own
                   {"LAB-0123,2004/07/01,12:34:56,ST,+0000.1278,  g\r\n", "0 stable marked"},
                   {Comma("US", "+0001.180"), "1180 unstable"},
                   {Comma("ST", "-  0.125"), "-125 negative"},
                   {Comma("US", "-  0.125"), "-125 negative"},
                   {Comma("OL", "+    .  "), "- overload"},
                   {"OL,GS\r\n", "- overload"},
                   {"OL,+9999999E+19,  g\r\n", "- overload"},
                   {"QT,+0000010 PC\r\n", "- bad-unit"},
                   {Comma("ST", "+0001.250", "  "), "- bad-unit"}, // no unit: kilograms or grams?
                   {Comma("ST", "+0001.250", "ct"), "- bad-unit"},
                   {Comma("ST", "+0001.250", "xy"), "- garbled"},
                   {Comma("ST", "+9999999999"), "- out-of-range"},
                   {"ST,GS,+0001.2\xB5"
                    "0kg\r\n",
                    "- garbled"},
               });
    // A line without a status header is no frame: a heading, an echo.
    EXPECT_TRUE(readAll(family(ScaleSettings::StatusLines), "Weight report\r\n+0001.250kg\r\n").isEmpty());
    EXPECT_TRUE(readAll(family(ScaleSettings::StatusLines), "ST,TR,+0000.500kg\r\n").isEmpty())
        << "a tare line is not the load";
}

TEST(ScaleFamilies, StxEtxFramesAreReadOnlyWhenTheirCheckMatches)
{
    using ScaleFrames::StxEtx;
    using ScaleFrames::Weighbridge;
    EXPECT_EQ(Weighbridge('+', 1560, 0), QByteArray("\x02+0015600"
                                                    "19\x03"));
    expectEach(family(ScaleSettings::StxEtx), {
                                                  {Weighbridge('+', 1560, 0), "1560000 stable"},
                                                  {Weighbridge('+', 1250, 3), "1250 stable"},
                                                  {Weighbridge('+', 12505, 4), "1250 stable"},
                                                  {Weighbridge('-', 125, 3), "-125 negative"},
                                                  {Weighbridge('+', 1250, 7), "- garbled"},
                                                  {StxEtx("+  1.250kg M"), "1250 unstable"},
                                                  {StxEtx(" 1250.0 kg G O"), "- overload"},
                                                  {StxEtx("+ 2.750lb"), "1247 stable"},
                                                  {StxEtx("+  1.250kg"), "1250 stable"},
                                                  {StxEtx("  OL"), "- overload"},
                                                  {"\x02+0015600"
                                                   "18\x03",
                                                   "- bad-check"},
                                                  {"\x02+0015600"
                                                   "\x03",
                                                   "- bad-check"},
                                                  {"\x02+0015600zz\x03", "- bad-check"},
                                                  {"\x02"
                                                   "19\x03",
                                                   "- garbled"},
                                              });
    // Bytes that cancel out in the check do not slip into a weight.
    expectEach(family(ScaleSettings::StxEtx), {
                                                  {StxEtx(QByteArray("+0012\x80\x81\x81\x80"
                                                                     "503",
                                                                     11)),
                                                   "- garbled"},
                                                  {StxEtx("+0012  0012503"), "- garbled"},
                                              });
    // Lower-case check characters are the same check.
    const QByteArray lower = StxEtx("+0012503").toLower();
    EXPECT_EQ(said(readAll(family(ScaleSettings::StxEtx), lower)), std::vector<std::string>{"1250 stable"});
}

TEST(ScaleFamilies, TheContinuousStxOutputWithItsStatusBytes)
{
    using namespace ScaleFrames;
    expectEach(family(ScaleSettings::Toledo, 17), {
                                                      {Toledo1250(), "1250 stable marked"},
                                                      {Toledo(1250, 5, Kg | Motion), "1250 unstable"},
                                                      {Toledo(125, 5, Kg | Minus), "-125 negative"},
                                                      {Toledo(999999, 5, Kg | OutOfRange), "- overload"},
                                                      {Toledo(999999, 5, Kg | OutOfRange | Minus), "- negative"},
                                                      {Toledo(2500, 4, 0), "11340 stable marked"},   // 25.00 lb
                                                      {Toledo(1250, 2, 0, 1), "1250 stable marked"}, // grams
                                                      {Toledo(1250, 2, Kg), "1250000 stable marked"},
                                                      {Toledo(125, 1, Kg), "1250000 stable marked"}, // one dummy zero
                                                      {Toledo(1250, 5, Kg, 5), "- bad-unit"},
                                                      {Toledo(1250, 5, Kg | Net, 0, false, 500), "1250 stable marked"},
                                                  });
    // With its checksum byte (length 18) the check is verified.
    const ScaleSettings checked = family(ScaleSettings::Toledo, 18);
    expectEach(checked, {{Toledo1250(true), "1250 stable marked"}});
    QByteArray wrong = Toledo1250(true);
    wrong[17] = char(wrong[17] ^ 0x01);
    expectEach(checked, {{wrong, "- bad-check"}});
    // Parity in bit 7 of the status bytes is not read.
    QByteArray parity = Toledo1250();
    parity[1] = char(parity[1] | 0x80);
    expectEach(family(ScaleSettings::Toledo, 17), {{parity, "1250 stable marked"}});
}

TEST(ScaleFamilies, FramesSplitAtAnyByteReadTheSame)
{
    using namespace ScaleFrames;
    const struct {
        ScaleSettings settings;
        QByteArray stream;
    } streams[] = {
        {family(ScaleSettings::StatusLines),
         Comma("US", "+0001.180") + Comma("ST", "+0001.250") + Comma("OL", "+    .  ") + Comma("ST", "-  0.125")},
        {family(ScaleSettings::StxEtx), Weighbridge('+', 1180, 3) + Weighbridge('+', 1250, 3) +
                                            "\x02+0012503"
                                            "00\x03" +
                                            Weighbridge('-', 125, 3)},
        {family(ScaleSettings::Toledo, 17), Toledo(1180, 5, Kg | Motion) + Toledo1250() + Toledo(125, 5, Kg | Minus)},
        {family(ScaleSettings::Toledo, 18),
         Toledo(1180, 5, Kg | Motion, 0, true) + Toledo1250(true) + Toledo(125, 5, Kg | Minus, 0, true)},
    };
    for (const auto &s : streams) {
        const std::vector<std::string> whole = said(readInPieces(s.settings, s.stream, s.stream.size()));
        ASSERT_GE(whole.size(), 3u);
        for (qsizetype piece = 1; piece <= 20; ++piece)
            EXPECT_EQ(said(readInPieces(s.settings, s.stream, piece)), whole) << int(s.settings.type) << " " << piece;
        // Cut at every single byte: the two halves arrive apart.
        for (qsizetype cut = 1; cut < s.stream.size(); ++cut) {
            ScaleParser parser(s.settings);
            QList<ScaleReading> out = parser.Read(s.stream.first(cut));
            out += parser.Read(s.stream.sliced(cut));
            EXPECT_EQ(said(out), whole) << int(s.settings.type) << " cut at " << cut;
        }
    }
}

TEST(ScaleFamilies, GarbageBetweenFramesGivesNoReading)
{
    using namespace ScaleFrames;
    const struct {
        ScaleSettings settings;
        QByteArray frame;
        QByteArray framing; // bytes the garbage must not hold to stay garbage
        QByteArray after;   // what ends the garbage (a line of its own)
    } cases[] = {
        {family(ScaleSettings::StatusLines), Comma("ST", "+0001.250"), "\r\n", "\r\n"},
        {family(ScaleSettings::StxEtx), Weighbridge('+', 1250, 3), "\x02\x03", ""},
        {family(ScaleSettings::Toledo, 17), Toledo1250(), "\x02", ""},
    };
    for (const auto &c : cases) {
        QByteArray stream;
        for (int i = 0; i < 20; ++i)
            stream += noise(1 + i * 7, quint32(i), c.framing) + c.after + c.frame;
        const QList<ScaleReading> r = readAll(c.settings, stream);
        EXPECT_EQ(said(r), std::vector<std::string>(20, said(readAll(c.settings, c.frame).value(0))))
            << int(c.settings.type);
    }
}

TEST(ScaleFamilies, AFrameLongerThanTheBufferIsNeverAWeight)
{
    using namespace ScaleFrames;
    // The tail of an overlong line looks like a frame: it is dropped with it.
    const QByteArray longLine = QByteArray(300, 'x') + Comma("ST", "+0009.999") + Comma("ST", "+0001.250");
    EXPECT_EQ(said(readAll(family(ScaleSettings::StatusLines), longLine)),
              std::vector<std::string>{"1250 stable marked"});
    const QByteArray longStx =
        "\x02" + QByteArray(300, '7') + Weighbridge('+', 9999, 3).mid(1) + Weighbridge('+', 1250, 3);
    EXPECT_EQ(said(readAll(family(ScaleSettings::StxEtx), longStx)), std::vector<std::string>{"1250 stable"});
    // Without its CR where it belongs, a continuous frame is none.
    QByteArray broken = Toledo1250();
    broken.insert(10, '5');
    EXPECT_EQ(said(readAll(family(ScaleSettings::Toledo, 17), broken + Toledo1250())),
              std::vector<std::string>{"1250 stable marked"});
}

TEST(ScaleFamilies, AMegabyteOfNoiseStaysBoundedAndNeverHangs)
{
    QByteArray bytes(1 << 20, '\0');
    QRandomGenerator(23).fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
    for (int type : {ScaleSettings::StatusLines, ScaleSettings::StxEtx, ScaleSettings::Toledo}) {
        for (int length : {17, 18}) {
            ScaleParser parser(family(type, length));
            int weights = 0;
            for (qsizetype at = 0; at < bytes.size(); at += 63) {
                for (const ScaleReading &r :
                     parser.Read(QByteArrayView(bytes).sliced(at, std::min<qsizetype>(63, bytes.size() - at))))
                    weights += r.isWeight();
                ASSERT_LE(parser.gathered(), ScaleParser::kCapacity);
            }
            // A check or a fixed structure keeps chance from making weights.
            if (type != ScaleSettings::StatusLines) {
                EXPECT_EQ(weights, 0) << type << " " << length;
            }
            ScaleParser whole(family(type, length));
            whole.Read(bytes);
            EXPECT_LE(whole.gathered(), ScaleParser::kCapacity);
        }
    }
}

TEST(ScaleFamilies, ReadWeightGivesTheLastFramesResult)
{
    ScaleParser parser(family(ScaleSettings::StatusLines));
    EXPECT_EQ(parser.ReadWeight("ST,GS,+0001.2"), ScaleParser::kNoFrame);
    EXPECT_EQ(parser.ReadWeight("50kg\r\n"), 1250);
    EXPECT_EQ(parser.ReadWeight(ScaleFrames::Comma("US", "+0001.180")), ScaleParser::kRefused);
    EXPECT_EQ(parser.last().status, S::Unstable);
    EXPECT_EQ(parser.lastStep(), 1);
}
