#include "scale/ScaleDetector.h"

#include "scale/ScaleParser.h"
#include "scale/ScaleSettingsForm.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

namespace quarvel {

namespace {

// Enough for several seconds of a fast scale; older bytes are not looked at.
constexpr qsizetype kMostBytes = 64 * 1024;
constexpr int kLongestFrame = 64;
constexpr int kFramesForFullConfidence = 5;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

struct Gap {
    int gap = 0;
    double share = 0;
};

// The most common distance between successive positions, and the share of
// distances that have it.
Gap modalGap(const QList<qsizetype> &positions)
{
    QHash<qsizetype, int> counts;
    for (qsizetype i = 1; i < positions.size(); ++i)
        ++counts[positions[i] - positions[i - 1]];
    Gap best;
    int bestCount = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > bestCount || (it.value() == bestCount && it.key() < best.gap)) {
            bestCount = it.value();
            best.gap = int(std::min<qsizetype>(it.key(), INT_MAX));
        }
    best.share = positions.size() > 1 ? double(bestCount) / double(positions.size() - 1) : 0;
    return best;
}

double framesFactor(int frames)
{
    return std::min(1.0, double(frames) / kFramesForFullConfidence);
}

// How many of the parse attempts over the stream gave a weight, and the last one.
struct ReadBack {
    double success = 0;
    int grams = -1;
};

ReadBack readBack(QByteArrayView bytes, const ScaleSettings &settings)
{
    ScaleParser parser(settings);
    int attempts = 0;
    int weights = 0;
    ReadBack r;
    for (int result : parser.ReadSteps(bytes)) {
        attempts += result != ScaleParser::kNoFrame;
        if (result >= 0) {
            ++weights;
            r.grams = result;
        }
    }
    // A BCD step that found no marker also says "no frame": count weights
    // against the steps that had twelve bytes.
    if (settings.type == ScaleSettings::Bcd)
        attempts = std::max<int>(weights, int(bytes.size() / ScaleParser::kBcdFrameBytes));
    r.success = attempts ? std::min(1.0, double(weights) / attempts) : 0;
    return r;
}

ScaleDetector::Guess bcdGuess(QByteArrayView bytes, const ScaleSettings &settings)
{
    QList<qsizetype> frames;
    int markers = 0;
    for (qsizetype i = 0; i + 4 < bytes.size(); ++i) {
        if (static_cast<std::uint8_t>(bytes[i]) != 0xFF)
            continue;
        ++markers;
        if (ScaleParser::ParseBcd(bytes.sliced(i, 5)).result >= 0)
            frames.append(i);
    }
    ScaleDetector::Guess g;
    g.type = ScaleSettings::Bcd;
    g.start = settings.startChar;
    g.dataLength = settings.dataLength;
    g.frames = int(frames.size());
    if (frames.size() < 3)
        return g;
    // Frames at a steady distance, or chance bytes of some other stream.
    const Gap gap = modalGap(frames);
    if (gap.share < 0.6)
        return g;
    ScaleSettings s = settings;
    s.type = ScaleSettings::Bcd;
    const ReadBack back = readBack(bytes, s);
    g.grams = back.grams;
    g.found = back.grams >= 0;
    g.confidence = int(std::lround(100 * gap.share * (double(frames.size()) / markers) * framesFactor(g.frames)));
    return g;
}

// What a periodic byte gives as start character: the frame bodies between
// its occurrences, each with the digits from the first to the last.
struct Candidate {
    std::uint8_t start = 0;
    Gap gap;
    QList<QByteArray> bodies;
    double digitShare = 0;
    int rank = 0;
    double score() const { return gap.share * digitShare; }
};

int preference(std::uint8_t start)
{
    static const std::uint8_t usual[] = {0x02, '=', '\n', '\r'};
    const auto *at = std::find(std::begin(usual), std::end(usual), start);
    return at != std::end(usual) ? int(at - std::begin(usual)) : 4 + start;
}

QList<Candidate> textCandidates(QByteArrayView bytes)
{
    std::array<QList<qsizetype>, 256> positions;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        positions[static_cast<std::uint8_t>(bytes[i])].append(i);
    QList<Candidate> candidates;
    for (int b = 0; b < 256; ++b) {
        if (isDigit(char(b)) || b == '.' || positions[b].size() < 3)
            continue;
        Candidate c;
        c.start = static_cast<std::uint8_t>(b);
        c.gap = modalGap(positions[b]);
        if (c.gap.gap < 2 || c.gap.gap > kLongestFrame || c.gap.share < 0.6)
            continue;
        int withDigits = 0;
        const QList<qsizetype> &at = positions[b];
        for (qsizetype i = 1; i < at.size(); ++i) {
            if (at[i] - at[i - 1] != c.gap.gap)
                continue;
            const QByteArray body = ScaleParser::CleanText(bytes.sliced(at[i - 1] + 1, c.gap.gap - 1), c.start);
            withDigits += std::any_of(body.begin(), body.end(), isDigit);
            c.bodies.append(body);
        }
        c.digitShare = c.bodies.isEmpty() ? 0 : double(withDigits) / double(c.bodies.size());
        c.rank = preference(c.start);
        if (c.digitShare >= 0.5)
            candidates.append(c);
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate &a, const Candidate &b) {
        return a.score() != b.score() ? a.score() > b.score() : a.rank < b.rank;
    });
    return candidates;
}

// Which way the digits run, as two votes: +1 normal (the last digit at the
// right), -1 reversed, 0 undecided.
enum Vote { Reversed = -1, Undecided = 0, Normal = 1 };

// The digit that changes most often is the last one; `strength` (0-1) says
// how far from the middle the changes lie.
Vote changesVote(const QList<QByteArray> &bodies, double &strength)
{
    qsizetype width = 0;
    for (const QByteArray &b : bodies)
        width = std::max(width, b.size());
    QList<int> changes(width, 0);
    qsizetype first = width;
    qsizetype last = -1;
    for (qsizetype k = 0; k < bodies.size(); ++k)
        for (qsizetype i = 0; i < bodies[k].size(); ++i) {
            if (!isDigit(bodies[k][i]))
                continue;
            first = std::min(first, i);
            last = std::max(last, i);
            if (k > 0 && i < bodies[k - 1].size() && isDigit(bodies[k - 1][i]) && bodies[k][i] != bodies[k - 1][i])
                ++changes[i];
        }
    double weighted = 0;
    double total = 0;
    for (qsizetype i = 0; i < width; ++i) {
        weighted += double(i) * changes[i];
        total += changes[i];
    }
    if (total == 0 || last <= first)
        return Undecided;
    const double centre = (weighted / total - double(first)) / double(last - first);
    strength = std::min(1.0, std::abs(centre - 0.5) * 2);
    return std::abs(centre - 0.5) <= 0.05 ? Undecided : centre > 0.5 ? Normal : Reversed;
}

// Padding zeros lead a number in normal order; a zero weight says nothing.
Vote paddingVote(const QList<QByteArray> &bodies)
{
    int leading = 0;
    int trailing = 0;
    for (const QByteArray &b : bodies) {
        QByteArray digits;
        for (char c : b)
            if (isDigit(c))
                digits.append(c);
        qsizetype l = 0;
        while (l < digits.size() && digits[l] == '0')
            ++l;
        if (l == digits.size())
            continue;
        qsizetype t = 0;
        while (digits[digits.size() - 1 - t] == '0')
            ++t;
        leading += int(l);
        trailing += int(t);
    }
    return leading == trailing ? Undecided : leading > trailing ? Normal : Reversed;
}

// Normal order or reversed, with how sure: both votes agreeing is near
// certain, one alone less so, a disagreement goes with the changes.
bool normalOrder(const QList<QByteArray> &bodies, double &certainty)
{
    double strength = 0;
    const Vote changes = changesVote(bodies, strength);
    const Vote padding = paddingVote(bodies);
    if (changes == Undecided) {
        certainty = padding == Undecided ? 0.5 : 0.75;
        return padding != Reversed;
    }
    certainty = padding == changes ? 0.95 : padding == Undecided ? 0.6 + 0.3 * strength : 0.55;
    return changes == Normal;
}

ScaleDetector::Guess textGuess(QByteArrayView bytes, const ScaleSettings &settings)
{
    ScaleDetector::Guess g;
    const QList<Candidate> candidates = textCandidates(bytes);
    if (candidates.isEmpty())
        return g;
    const Candidate &c = candidates.first();
    int withPoint = 0;
    for (const QByteArray &b : c.bodies)
        withPoint += b.contains('.');
    const bool kilograms = withPoint * 2 > c.bodies.size();
    double orderCertainty = 0.5;
    const bool normal = normalOrder(c.bodies, orderCertainty);
    g.type = kilograms ? (normal ? ScaleSettings::Kilograms : ScaleSettings::KilogramsReversed)
                       : (normal ? ScaleSettings::Grams : ScaleSettings::GramsReversed);
    g.start = c.start;
    g.dataLength = std::min(c.gap.gap, ScaleSettings::kMaxDataLength);
    g.frames = int(c.bodies.size());
    const ReadBack back = readBack(bytes, g.Apply(settings));
    g.grams = back.grams;
    g.found = back.grams >= 0;
    const double tooLong = c.gap.gap > ScaleSettings::kMaxDataLength ? 0.5 : 1.0;
    g.confidence = int(std::lround(100 * c.score() * orderCertainty * back.success * framesFactor(g.frames) * tooLong));
    return g;
}

} // namespace

ScaleSettings ScaleDetector::Guess::Apply(const ScaleSettings &settings) const
{
    ScaleSettings s = settings;
    s.type = static_cast<std::uint8_t>(type);
    s.startChar = start;
    s.dataLength = static_cast<std::uint8_t>(dataLength);
    return s;
}

QString ScaleDetector::Guess::Text() const
{
    if (bytes == 0)
        return QStringLiteral("没有收到任何数据：请检查连接端口，以及电子秤是否开机、是否在发送数据。");
    if (!found)
        return QStringLiteral("未能识别电子秤数据：收到 %1 字节，没有找到可以读出重量的帧。\r\n"
                              "请检查波特率、数据位、奇偶校验和停止位；"
                              "“稳定/按按键”方式的电子秤请在识别时多按几次按键。")
            .arg(bytes);
    QString text = QStringLiteral("识别结果：%1").arg(ScaleSettings::TypeNames().value(type));
    if (type != ScaleSettings::Bcd)
        text +=
            QStringLiteral("，开始字符 %1，数据长度 %2 字节").arg(ScaleSettingsForm::StartText(start)).arg(dataLength);
    text += QStringLiteral("。\r\n把握：%1%（%2 帧，读数 %3 公斤）")
                .arg(confidence)
                .arg(frames)
                .arg(ScaleSettingsForm::TestWeightText(grams));
    if (confidence < 50)
        text += QStringLiteral("\r\n把握不大，请放上已知重量的物品核对读数。");
    return text;
}

ScaleDetector::Guess ScaleDetector::Detect(QByteArrayView bytes, const ScaleSettings &settings)
{
    if (bytes.size() > kMostBytes)
        bytes = bytes.last(kMostBytes);
    const Guess bcd = bcdGuess(bytes, settings);
    const Guess text = textGuess(bytes, settings);
    Guess best = !text.found || (bcd.found && bcd.confidence > text.confidence) ? bcd : text;
    // A pattern that earns no confidence at all is chance in noise, not a format.
    if (best.confidence <= 0)
        best.found = false;
    best.bytes = bytes.size();
    return best;
}

} // namespace quarvel
