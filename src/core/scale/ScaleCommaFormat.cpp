#include "scale/ScaleCommaFormat.h"

#include "scale/ScaleFrameText.h"

namespace quarvel {

namespace {

using Unit = ScaleFrameText::Unit;

QByteArray trimmedSpaces(QByteArrayView field)
{
    qsizetype from = 0;
    qsizetype to = field.size();
    while (from < to && field[from] == ' ')
        ++from;
    while (to > from && field[to - 1] == ' ')
        --to;
    return field.sliced(from, to - from).toByteArray();
}

bool isHeader(const QByteArray &field)
{
    const QByteArray f = field.toUpper();
    return f == "ST" || f == "US" || f == "OL" || f == "QT" || f == "LO";
}

// "+0001.250kg", "-  0.125kg", "   245.6 g", "+    .  " (overload): a sign,
// a number and a unit, spaces anywhere between. False when anything else
// stands in the field.
bool readData(const QByteArray &data, ScaleFrameText::Number &number, Unit &unit, bool &negative)
{
    qsizetype i = 0;
    const auto spaces = [&] {
        while (i < data.size() && data[i] == ' ')
            ++i;
    };
    spaces();
    if (i < data.size() && (data[i] == '+' || data[i] == '-'))
        negative = data[i++] == '-';
    spaces();
    if (i < data.size() && data[i] >= '0' && data[i] <= '9') {
        number = ScaleFrameText::ReadNumber(data, i, true);
        i = number.end;
    } else {
        // Overload and blanked data: spaces in place of the digits.
        while (i < data.size() && (data[i] == ' ' || data[i] == '.'))
            ++i;
    }
    spaces();
    const qsizetype unitStart = i;
    while (i < data.size() && data[i] != ' ')
        ++i;
    unit = ScaleFrameText::UnitOf(QByteArrayView(data).sliced(unitStart, i - unitStart));
    if (i > unitStart && unit == Unit::None)
        return false;
    spaces();
    return i == data.size();
}

} // namespace

QList<QByteArray> ScaleCommaFormat::Cut(QByteArray &gathered, bool &skipping)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < gathered.size(); ++i) {
        if (gathered[i] != '\r' && gathered[i] != '\n')
            continue;
        if (!skipping && i > start)
            lines.append(gathered.sliced(start, i - start));
        skipping = false;
        start = i + 1;
    }
    gathered.remove(0, start);
    if (gathered.size() > kLongestLine) {
        gathered.clear();
        skipping = true;
    }
    return lines;
}

std::optional<ScaleReading> ScaleCommaFormat::Parse(QByteArrayView line)
{
    const QList<QByteArray> fields = line.toByteArray().split(',');
    qsizetype at = 0;
    while (at < fields.size() && !isHeader(trimmedSpaces(fields[at])))
        ++at;
    if (at == fields.size())
        return std::nullopt;
    const QByteArray header = trimmedSpaces(fields[at]).toUpper();
    ScaleFrameText::Marks marks;
    marks.stable = header == "ST";
    marks.unstable = header == "US";
    marks.overload = header == "OL";
    marks.outOfRange = header == "LO";
    marks.counting = header == "QT";
    for (char c : line)
        if (static_cast<std::uint8_t>(c) >= 0x80)
            return ScaleReading::Refused(ScaleReading::Status::Garbled);
    ++at;
    if (at < fields.size()) {
        const QByteArray kind = trimmedSpaces(fields[at]).toUpper();
        // A tare line says what the container weighs, not the load.
        if (kind == "TR")
            return std::nullopt;
        if (kind == "GS" || kind == "NT")
            ++at;
    }
    ScaleFrameText::Number number;
    Unit unit = Unit::None;
    if (at >= fields.size() || fields.size() - at > 2 || !readData(fields[at], number, unit, marks.negative)) {
        // "OL,GS" alone still says overload; any other broken line is garbled.
        return ScaleReading::Refused(marks.overload ? ScaleReading::Status::Overload : ScaleReading::Status::Garbled);
    }
    if (fields.size() - at == 2) {
        const Unit own = ScaleFrameText::UnitOf(trimmedSpaces(fields[at + 1]));
        unit = unit == Unit::None || unit == own ? own : Unit::NoWeight;
    }
    return ScaleFrameText::Reading(number, unit, marks);
}

} // namespace quarvel
