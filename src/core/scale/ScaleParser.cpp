#include "scale/ScaleParser.h"

#include <algorithm>
#include <climits>

namespace quarvel {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// 10^n for n from 0 to 9; below 0 it is 1, above 9 it stays 10^9.
int powerOfTen(int n)
{
    int p = 1;
    for (int k = 0; k < std::min(n, 9); ++k)
        p *= 10;
    return p;
}

// Digits as a whole number of at most ten digits; false when it would not
// fit an int (no reading is that heavy).
bool digitsToInt(QByteArrayView digits, int &value)
{
    while (!digits.isEmpty() && digits.front() == '0')
        digits = digits.sliced(1);
    if (digits.size() > 10)
        return false;
    qint64 v = 0;
    for (char c : digits)
        v = v * 10 + (c - '0');
    if (v > INT_MAX)
        return false;
    value = static_cast<int>(v);
    return true;
}

// The leading whole number of the text (which starts with a digit), as the
// C library's atoi reads it.
ScaleParser::Frame readGrams(QByteArrayView text)
{
    qsizetype end = 0;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    ScaleParser::Frame f;
    f.result = digitsToInt(text.first(end), f.result) ? f.result : ScaleParser::kUndelimited;
    return f;
}

// The leading decimal number of the text (digits, a point, more digits, an
// exponent), as the C library's atof reads it, times 1000 and truncated.
// Worked in decimal digits, not in floating point, so 1.005 kg is 1005 g.
ScaleParser::Frame readKilograms(QByteArrayView text)
{
    QByteArray mantissa;
    qsizetype i = 0;
    int fraction = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
        mantissa.append(text[i]);
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && isDigit(text[i]); ++i, ++fraction)
            mantissa.append(text[i]);
    int exponent = 0;
    if (i + 1 < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        qsizetype j = i + 1;
        const bool negative = text[j] == '-';
        if (text[j] == '-' || text[j] == '+')
            ++j;
        if (j < text.size() && isDigit(text[j]))
            for (; j < text.size() && isDigit(text[j]); ++j)
                exponent = std::min(exponent * 10 + (text[j] - '0'), 100000);
        exponent = negative ? -exponent : exponent;
    }
    // grams = mantissa x 10^shift; the step is what one unit of the last
    // digit weighs.
    const int shift = exponent - fraction + 3;
    ScaleParser::Frame f;
    f.step = powerOfTen(shift);
    while (!mantissa.isEmpty() && mantissa.front() == '0')
        mantissa.remove(0, 1);
    if (shift < 0) {
        mantissa.chop(std::min<qint64>(-qint64(shift), mantissa.size()));
    } else if (!mantissa.isEmpty()) {
        if (mantissa.size() + shift > 10)
            return {ScaleParser::kUndelimited, f.step};
        mantissa.append(QByteArray(shift, '0'));
    }
    f.result = digitsToInt(mantissa, f.result) ? f.result : ScaleParser::kUndelimited;
    return f;
}

} // namespace

void ScaleParser::setSettings(const ScaleSettings &settings)
{
    settings_ = settings;
    Clear();
}

int ScaleParser::ReadWeight(QByteArrayView arrived)
{
    // Only the newest bytes are kept when more arrive than fit; the link
    // passes small steps, so this bounds memory and loses nothing real.
    if (arrived.size() >= kCapacity) {
        gathered_ = arrived.last(kCapacity).toByteArray();
    } else {
        const qsizetype excess = gathered_.size() + arrived.size() - kCapacity;
        if (excess > 0)
            gathered_.remove(0, excess);
        gathered_.append(arrived);
    }
    if (settings_.type == ScaleSettings::Bcd) {
        if (gathered_.size() < kBcdFrameBytes)
            return kNoFrame;
        return take(ParseBcd(gathered_));
    }
    if (gathered_.size() < settings_.FrameThreshold())
        return kNoFrame;
    return take(ParseText(gathered_, settings_.type, settings_.startChar));
}

int ScaleParser::take(const Frame &frame)
{
    Clear();
    if (frame.result >= 0)
        lastStep_ = frame.step;
    return frame.result;
}

QList<int> ScaleParser::ReadSteps(QByteArrayView bytes)
{
    QList<int> results;
    for (qsizetype at = 0; at < bytes.size(); at += kReadLimit)
        results.append(ReadWeight(bytes.sliced(at, std::min<qsizetype>(kReadLimit, bytes.size() - at))));
    return results;
}

ScaleParser::Frame ScaleParser::ParseBcd(QByteArrayView bytes)
{
    Frame f;
    qsizetype at = -1;
    for (qsizetype i = 0; i < 7 && i + 4 < bytes.size(); ++i)
        if (static_cast<std::uint8_t>(bytes[i]) == 0xFF) {
            at = i;
            break;
        }
    if (at < 0)
        return f;
    const auto byte = [&](qsizetype k) { return static_cast<std::uint8_t>(bytes[at + k]); };
    const std::uint8_t status = byte(1);
    if (status & (0x80 | 0x20 | 0x10 | 0x08))
        return f;
    int digits[6];
    for (int k = 0; k < 3; ++k) {
        digits[2 * k] = byte(2 + k) & 0x0F;
        digits[2 * k + 1] = byte(2 + k) >> 4;
    }
    // A nibble above 9 is no BCD digit: the frame carries no weight.
    if (std::any_of(std::begin(digits), std::end(digits), [](int d) { return d > 9; }))
        return f;
    int value = 0;
    for (int k = 5; k >= 0; --k)
        value = value * 10 + digits[k];
    switch ((status & 7) - 1) {
    case 0:
        f = {value * 1000, 1000};
        break;
    case 1:
        f = {value * 100, 100};
        break;
    case 2:
        f = {value * 10, 10};
        break;
    case 4:
        f = {value / 10, 1};
        break;
    case 5:
        f = {value / 100, 1};
        break;
    default:
        f = {value, 1};
        break;
    }
    return f;
}

QByteArray ScaleParser::CleanText(QByteArrayView bytes, std::uint8_t start)
{
    QByteArray text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        if (b == start || (b >= 10 && b < 128))
            text.append(c);
    }
    return text;
}

ScaleParser::Frame ScaleParser::ParseText(QByteArrayView bytes, int type, std::uint8_t start)
{
    const QByteArray text = CleanText(bytes, start);
    const char s = static_cast<char>(start);
    const qsizetype first = text.indexOf(s);
    const qsizetype next = first < 0 ? -1 : text.indexOf(s, first + 1);
    if (next < 0)
        return {kUndelimited, 1};
    const QByteArrayView body = QByteArrayView(text).sliced(first + 1, next - first - 1);
    switch (type) {
    case ScaleSettings::KilogramsReversed:
    case ScaleSettings::GramsReversed: {
        qsizetype last = body.size() - 1;
        while (last >= 0 && !isDigit(body[last]))
            --last;
        if (last < 0)
            return {kNoDigit, 1};
        QByteArray reversed = body.first(last + 1).toByteArray();
        std::reverse(reversed.begin(), reversed.end());
        return type == ScaleSettings::KilogramsReversed ? readKilograms(reversed) : readGrams(reversed);
    }
    case ScaleSettings::Kilograms:
    case ScaleSettings::Grams: {
        qsizetype digit = 0;
        while (digit < body.size() && !isDigit(body[digit]))
            ++digit;
        if (digit == body.size())
            return {kNoDigit, 1};
        const QByteArrayView number = body.sliced(digit);
        return type == ScaleSettings::Kilograms ? readKilograms(number) : readGrams(number);
    }
    default:
        return {kUndelimited, 1};
    }
}

} // namespace quarvel
