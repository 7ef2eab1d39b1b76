#include "scale/ScaleParser.h"

#include "scale/ScaleCommaFormat.h"
#include "scale/ScaleFrameText.h"
#include "scale/ScaleStxEtxFormat.h"
#include "scale/ScaleToledoFormat.h"

#include <algorithm>

namespace quarvel {

namespace {

using Unit = ScaleFrameText::Unit;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

ScaleParser::Frame frameOf(const ScaleReading &reading)
{
    ScaleParser::Frame f;
    f.reading = reading;
    f.result = reading.isWeight() ? int(reading.grams) : ScaleParser::kRefused;
    return f;
}

// The number of a text frame in the unit it names, else in the format's
// own: kilograms as atof reads them, grams as atoi does (the whole part).
ScaleParser::Frame textReading(const ScaleFrameText::Number &number, Unit named, bool kilograms,
                               const ScaleFrameText::Marks &marks)
{
    Unit unit = named;
    ScaleFrameText::Number n = number;
    if (unit == Unit::None) {
        unit = kilograms ? Unit::Kilograms : Unit::Grams;
        if (!kilograms)
            n.exponent = 0;
    }
    return frameOf(ScaleFrameText::Reading(n, unit, marks));
}

// Marks that make a frame no weight whatever its digits say.
bool refusesAnyNumber(const ScaleFrameText::Marks &m)
{
    return m.garbled || m.overload || m.outOfRange || m.underload || m.counting;
}

} // namespace

void ScaleParser::setSettings(const ScaleSettings &settings)
{
    settings_ = settings;
    Clear();
}

void ScaleParser::Clear()
{
    gathered_.clear();
    skipping_ = false;
}

void ScaleParser::gather(QByteArrayView arrived)
{
    // Only the newest bytes are kept when more arrive than fit; the link
    // passes small steps, so this bounds memory and loses nothing real.
    if (arrived.size() >= kCapacity) {
        gathered_ = arrived.last(kCapacity).toByteArray();
        skipping_ = false;
        return;
    }
    const qsizetype excess = gathered_.size() + arrived.size() - kCapacity;
    if (excess > 0)
        gathered_.remove(0, excess);
    gathered_.append(arrived);
}

QList<ScaleReading> ScaleParser::Read(QByteArrayView arrived)
{
    QList<ScaleReading> readings =
        ScaleSettings::HasStatus(settings_.type) ? readFramed(arrived) : readOriginal(arrived);
    for (const ScaleReading &r : readings) {
        last_ = r;
        if (r.isWeight())
            lastStep_ = r.step;
    }
    lastResult_ = readings.isEmpty() ? lastResult_ : readings.last().isWeight() ? int(readings.last().grams) : kRefused;
    return readings;
}

int ScaleParser::ReadWeight(QByteArrayView arrived)
{
    lastResult_ = kNoFrame;
    Read(arrived);
    return lastResult_;
}

QList<ScaleReading> ScaleParser::readOriginal(QByteArrayView arrived)
{
    gather(arrived);
    Frame frame;
    if (settings_.type == ScaleSettings::Bcd) {
        if (gathered_.size() < kBcdFrameBytes)
            return {};
        frame = ParseBcd(gathered_);
    } else {
        if (gathered_.size() < settings_.FrameThreshold())
            return {};
        frame = ParseText(gathered_, settings_.type, settings_.startChar);
    }
    Clear();
    lastResult_ = frame.result;
    if (frame.result >= 0 || frame.result == kRefused)
        return {frame.reading};
    return {};
}

QList<ScaleReading> ScaleParser::readFramed(QByteArrayView arrived)
{
    // In pieces no larger than the gathering holds, so no frame is lost to
    // the bound however much arrives at once.
    QList<ScaleReading> readings;
    constexpr qsizetype piece = kCapacity / 2;
    for (qsizetype at = 0; at < arrived.size(); at += piece) {
        gather(arrived.sliced(at, std::min(piece, arrived.size() - at)));
        readings += cutAndParse();
    }
    return readings;
}

QList<ScaleReading> ScaleParser::cutAndParse()
{
    QList<ScaleReading> readings;
    switch (settings_.type) {
    case ScaleSettings::StatusLines:
        for (const QByteArray &line : ScaleCommaFormat::Cut(gathered_, skipping_))
            if (const std::optional<ScaleReading> r = ScaleCommaFormat::Parse(line))
                readings.append(*r);
        break;
    case ScaleSettings::StxEtx:
        for (const QByteArray &body : ScaleStxEtxFormat::Cut(gathered_))
            readings.append(ScaleStxEtxFormat::Parse(body));
        break;
    default:
        for (const QByteArray &frame : ScaleToledoFormat::Cut(gathered_, settings_.toledoChecked()))
            readings.append(ScaleToledoFormat::Parse(frame, settings_.toledoChecked()));
        break;
    }
    return readings;
}

QList<int> ScaleParser::ReadSteps(QByteArrayView bytes)
{
    QList<int> results;
    for (qsizetype at = 0; at < bytes.size(); at += kReadLimit)
        results.append(ReadWeight(bytes.sliced(at, std::min<qsizetype>(kReadLimit, bytes.size() - at))));
    return results;
}

QList<ScaleReading> ScaleParser::ReadAll(QByteArrayView bytes)
{
    QList<ScaleReading> readings;
    for (qsizetype at = 0; at < bytes.size(); at += kReadLimit)
        readings += Read(bytes.sliced(at, std::min<qsizetype>(kReadLimit, bytes.size() - at)));
    return readings;
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
        return frameOf(ScaleReading::Weight(qint64(value) * 1000, 1000));
    case 1:
        return frameOf(ScaleReading::Weight(qint64(value) * 100, 100));
    case 2:
        return frameOf(ScaleReading::Weight(qint64(value) * 10, 10));
    case 4:
        return frameOf(ScaleReading::Weight(value / 10, 1));
    case 5:
        return frameOf(ScaleReading::Weight(value / 100, 1));
    default:
        return frameOf(ScaleReading::Weight(value, 1));
    }
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
    if (next < 0 || !ScaleSettings::IsPlainText(type))
        return {kUndelimited, ScaleReading()};
    const QByteArrayView body = QByteArrayView(text).sliced(first + 1, next - first - 1);
    ScaleFrameText::Marks marks = ScaleFrameText::Inspect(body);
    // The dropped bytes are looked at too: a digit hidden behind a parity bit
    // would change the number.
    const qsizetype rawFirst = bytes.indexOf(s);
    const qsizetype rawNext = bytes.indexOf(s, rawFirst + 1);
    marks.garbled = ScaleFrameText::Inspect(bytes.sliced(rawFirst + 1, rawNext - rawFirst - 1)).garbled;
    if (refusesAnyNumber(marks))
        return frameOf(ScaleFrameText::Reading(ScaleFrameText::Number(), Unit::Kilograms, marks));
    const bool kilograms = type == ScaleSettings::KilogramsReversed || type == ScaleSettings::Kilograms;
    if (type == ScaleSettings::KilogramsReversed || type == ScaleSettings::GramsReversed) {
        qsizetype last = body.size() - 1;
        while (last >= 0 && !isDigit(body[last]))
            --last;
        if (last < 0)
            return {kNoDigit, ScaleReading()};
        QByteArray reversed = body.first(last + 1).toByteArray();
        std::reverse(reversed.begin(), reversed.end());
        // A unit sent backwards ("gk052.1") reads forwards here.
        const ScaleFrameText::Number number = ScaleFrameText::ReadNumber(reversed, 0, kilograms);
        return textReading(number, ScaleFrameText::UnitAfter(reversed, number.end), kilograms, marks);
    }
    const ScaleFrameText::Number number = ScaleFrameText::FirstNumber(body, kilograms);
    if (!number.valid())
        return {kNoDigit, ScaleReading()};
    return textReading(number, ScaleFrameText::UnitAfter(body, number.end), kilograms, marks);
}

} // namespace quarvel
