#include "scale/ScaleFrameText.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace quarvel {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isOneOf(const QByteArray &token, std::initializer_list<const char *> words)
{
    return std::any_of(words.begin(), words.end(), [&](const char *w) { return token == w; });
}

// The words scales use for their state, upper case. Single letters are the
// status columns of indicators that send one (M motion, O overload, U/L
// underload, H high as some balances send it).
void markWord(const QByteArray &word, ScaleFrameText::Marks &m)
{
    if (isOneOf(word, {"US", "M", "MO", "MOTION", "UNSTABLE"}))
        m.unstable = true;
    else if (isOneOf(word, {"OL", "O", "OVER", "OVL", "OFL", "OVERLOAD", "H"}))
        m.overload = true;
    else if (isOneOf(word, {"UL", "U", "L", "UNDER", "UNDERLOAD"}))
        m.underload = true;
    else if (isOneOf(word, {"LO", "ERR", "ERROR"}))
        m.outOfRange = true;
    else if (isOneOf(word, {"ST", "STABLE"}))
        m.stable = true;
    else if (word == "QT")
        m.counting = true;
}

// A minus that is not the sign of an exponent ("2e-3").
bool isSign(QByteArrayView body, qsizetype i)
{
    if (i >= 2 && (body[i - 1] == 'e' || body[i - 1] == 'E') && isDigit(body[i - 2]))
        return false;
    return true;
}

qint64 powerOfTen(int n)
{
    qint64 p = 1;
    for (int k = 0; k < std::min(n, 18); ++k)
        p *= 10;
    return p;
}

// g, kg and t as decimal shifts of the digits; nothing for the others.
std::optional<int> metricShift(ScaleFrameText::Unit unit)
{
    switch (unit) {
    case ScaleFrameText::Unit::Grams:
        return 0;
    case ScaleFrameText::Unit::Kilograms:
        return 3;
    case ScaleFrameText::Unit::Tonnes:
        return 6;
    default:
        return std::nullopt;
    }
}

std::optional<qint64> metricGrams(const ScaleFrameText::Number &n, int unitShift, int &step)
{
    const int shift = std::clamp(n.exponent, -1000, 1000) - n.fraction + unitShift;
    step = int(powerOfTen(std::clamp(shift, 0, 9)));
    QByteArray digits = n.digits;
    while (!digits.isEmpty() && digits.front() == '0')
        digits.remove(0, 1);
    if (shift < 0)
        digits.chop(std::min<qsizetype>(-qsizetype(shift), digits.size()));
    else if (!digits.isEmpty())
        digits.append(QByteArray(std::min(shift, 20), '0'));
    // Nine digits of grams at most; more is beyond any scale here.
    if (digits.size() > 10)
        return std::nullopt;
    qint64 grams = 0;
    for (char c : digits)
        grams = grams * 10 + (c - '0');
    if (grams > ScaleReading::kHeaviestGrams)
        return std::nullopt;
    return grams;
}

std::optional<qint64> imperialGrams(const ScaleFrameText::Number &n, long double gramsPerUnit, int &step)
{
    // Digits past the twelfth weigh less than a microgram here.
    const QByteArray digits = n.digits.first(std::min<qsizetype>(n.digits.size(), 18));
    const int dropped = int(n.digits.size() - digits.size());
    long double value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    const int power = std::clamp(n.exponent, -1000, 1000) - n.fraction + dropped;
    const long double grams = value * std::pow(10.0L, power) * gramsPerUnit;
    step = std::max(1, int(std::lround(double(gramsPerUnit * std::pow(10.0L, std::min(power - dropped, 6))))));
    if (!(grams <= ScaleReading::kHeaviestGrams))
        return std::nullopt;
    return std::llround(double(grams));
}

} // namespace

ScaleFrameText::Marks ScaleFrameText::Inspect(QByteArrayView body)
{
    Marks m;
    for (qsizetype i = 0; i < body.size();) {
        const char c = body[i];
        const auto b = static_cast<std::uint8_t>(c);
        if (b >= 0x80) {
            // A 7-bit scale read with eight data bits: its parity bit sets the
            // high bit of some digits, and dropping those would change the number.
            const char low = char(b & 0x7F);
            m.garbled = m.garbled || isDigit(low) || low == '.' || low == '+' || low == '-';
            ++i;
            continue;
        }
        if (c == '-' && isSign(body, i))
            m.negative = true;
        if (c == '?')
            m.unstable = true;
        if (!isLetter(c)) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < body.size() && isLetter(body[end]))
            ++end;
        markWord(body.sliced(i, end - i).toByteArray().toUpper(), m);
        i = end;
    }
    return m;
}

bool ScaleFrameText::Printable(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

int ScaleFrameText::NumberCount(QByteArrayView text)
{
    int numbers = 0;
    bool inNumber = false;
    for (char c : text) {
        if (isDigit(c) && !inNumber)
            ++numbers;
        inNumber = isDigit(c) || (inNumber && c == '.');
    }
    return numbers;
}

ScaleFrameText::Number ScaleFrameText::ReadNumber(QByteArrayView text, qsizetype from, bool exponent)
{
    Number n;
    n.start = from;
    qsizetype i = from;
    for (; i < text.size() && isDigit(text[i]); ++i)
        n.digits.append(text[i]);
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && isDigit(text[i]); ++i, ++n.fraction)
            n.digits.append(text[i]);
    if (exponent && i + 1 < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        qsizetype j = i + 1;
        const bool negative = text[j] == '-';
        if (text[j] == '-' || text[j] == '+')
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            for (; j < text.size() && isDigit(text[j]); ++j)
                n.exponent = std::min(n.exponent * 10 + (text[j] - '0'), 100000);
            n.exponent = negative ? -n.exponent : n.exponent;
            i = j;
        }
    }
    n.end = i;
    return n;
}

ScaleFrameText::Number ScaleFrameText::FirstNumber(QByteArrayView text, bool exponent)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (isDigit(text[i]))
            return ReadNumber(text, i, exponent);
    return Number();
}

ScaleFrameText::Unit ScaleFrameText::UnitOf(QByteArrayView token)
{
    const QByteArray t = token.toByteArray().toLower();
    if (t == "g")
        return Unit::Grams;
    if (t == "kg")
        return Unit::Kilograms;
    if (t == "t")
        return Unit::Tonnes;
    if (t == "lb" || t == "lbs")
        return Unit::Pounds;
    if (t == "oz")
        return Unit::Ounces;
    if (isOneOf(t, {"pc", "pcs", "ct", "%", "ozt", "dwt", "tl", "mom", "gn", "tola", "ms", "dr"}))
        return Unit::NoWeight;
    return Unit::None;
}

ScaleFrameText::Unit ScaleFrameText::UnitAfter(QByteArrayView text, qsizetype end)
{
    qsizetype i = end;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i < text.size() && text[i] == '%')
        return Unit::NoWeight;
    qsizetype j = i;
    while (j < text.size() && isLetter(text[j]))
        ++j;
    return UnitOf(text.sliced(i, j - i));
}

std::optional<qint64> ScaleFrameText::Grams(const Number &number, Unit unit, int &step)
{
    if (const std::optional<int> shift = metricShift(unit))
        return metricGrams(number, *shift, step);
    if (unit == Unit::Pounds)
        return imperialGrams(number, 453.59237L, step);
    if (unit == Unit::Ounces)
        return imperialGrams(number, 28.349523125L, step);
    return std::nullopt;
}

ScaleReading ScaleFrameText::Reading(const Number &number, Unit unit, const Marks &marks)
{
    using S = ScaleReading::Status;
    if (marks.garbled)
        return ScaleReading::Refused(S::Garbled);
    if (marks.overload)
        return ScaleReading::Refused(S::Overload);
    if (marks.outOfRange)
        return ScaleReading::Refused(S::OutOfRange);
    if (marks.underload)
        return ScaleReading::Refused(S::Negative);
    if (marks.counting || unit == Unit::NoWeight || unit == Unit::None)
        return ScaleReading::Refused(S::BadUnit);
    if (!number.valid())
        return ScaleReading::Refused(S::Garbled);
    int step = 1;
    const std::optional<qint64> grams = Grams(number, unit, step);
    if (!grams)
        return ScaleReading::Refused(S::OutOfRange);
    if (marks.negative)
        return ScaleReading::Refused(S::Negative, -*grams, step);
    if (marks.unstable)
        return ScaleReading::Refused(S::Unstable, *grams, step);
    return ScaleReading::Weight(*grams, step, marks.stable);
}

} // namespace quarvel
