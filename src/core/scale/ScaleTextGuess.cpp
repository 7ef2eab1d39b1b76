#include "scale/ScaleTextGuess.h"

#include "scale/ScaleParser.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

namespace quarvel {

namespace {

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

// What a periodic byte gives as start character: the frame bodies between
// its occurrences, and how many of them are plain readings.
struct Candidate {
    std::uint8_t start = 0;
    Gap gap;
    QList<QByteArray> bodies;
    double digitShare = 0;
    double plainShare = 0;
    int rank = 0;
    double score() const { return gap.share * digitShare * plainShare; }
};

int preference(std::uint8_t start)
{
    static const std::uint8_t usual[] = {0x02, '=', '\n', '\r'};
    const auto *at = std::find(std::begin(usual), std::end(usual), start);
    return at != std::end(usual) ? int(at - std::begin(usual)) : 4 + start;
}

Candidate candidateFor(QByteArrayView bytes, std::uint8_t start, const QList<qsizetype> &at)
{
    Candidate c;
    c.start = start;
    c.gap = modalGap(at);
    c.rank = preference(start);
    if (c.gap.gap < 2 || c.gap.gap > ScaleTextGuess::kLongestFrame || c.gap.share < 0.6)
        return c;
    int withDigits = 0;
    int plain = 0;
    for (qsizetype i = 1; i < at.size(); ++i) {
        if (at[i] - at[i - 1] != c.gap.gap)
            continue;
        const QByteArrayView raw = bytes.sliced(at[i - 1] + 1, c.gap.gap - 1);
        const QByteArray body = ScaleParser::CleanText(raw, start);
        withDigits += std::any_of(body.begin(), body.end(), isDigit);
        plain += ScaleTextGuess::PlainReading(raw, start);
        c.bodies.append(body);
    }
    c.digitShare = c.bodies.isEmpty() ? 0 : double(withDigits) / double(c.bodies.size());
    c.plainShare = c.bodies.isEmpty() ? 0 : double(plain) / double(c.bodies.size());
    return c;
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
        const Candidate c = candidateFor(bytes, static_cast<std::uint8_t>(b), positions[b]);
        if (c.digitShare >= 0.5 && c.plainShare >= 0.5)
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

} // namespace

double ScaleTextGuess::SteadyShare(const QList<qsizetype> &positions)
{
    return modalGap(positions).share;
}

bool ScaleTextGuess::PlainReading(QByteArrayView body, std::uint8_t start)
{
    int numbers = 0;
    bool inNumber = false;
    for (char c : body) {
        const auto b = static_cast<std::uint8_t>(c);
        const bool allowed = b == start || b == '\r' || b == '\n' || (b >= 0x20 && b < 0x7F);
        if (!allowed)
            return false;
        const bool numeric = isDigit(c) || (inNumber && c == '.');
        if (isDigit(c) && !inNumber)
            ++numbers;
        inNumber = numeric;
    }
    return numbers == 1;
}

ScaleTextGuess::Result ScaleTextGuess::Guess(QByteArrayView bytes)
{
    Result r;
    const QList<Candidate> candidates = textCandidates(bytes);
    if (candidates.isEmpty())
        return r;
    const Candidate &c = candidates.first();
    int withPoint = 0;
    for (const QByteArray &b : c.bodies)
        withPoint += b.contains('.');
    const bool kilograms = withPoint * 2 > c.bodies.size();
    double orderCertainty = 0.5;
    const bool normal = normalOrder(c.bodies, orderCertainty);
    r.found = true;
    r.type = kilograms ? (normal ? ScaleSettings::Kilograms : ScaleSettings::KilogramsReversed)
                       : (normal ? ScaleSettings::Grams : ScaleSettings::GramsReversed);
    r.start = c.start;
    r.dataLength = std::min(c.gap.gap, ScaleSettings::kMaxDataLength);
    r.frames = int(c.bodies.size());
    const double tooLong = c.gap.gap > ScaleSettings::kMaxDataLength ? 0.5 : 1.0;
    r.fit = c.score() * orderCertainty * tooLong;
    return r;
}

} // namespace quarvel
