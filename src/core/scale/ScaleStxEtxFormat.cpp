#include "scale/ScaleStxEtxFormat.h"

#include "scale/ScaleFrameText.h"

namespace quarvel {

namespace {

using S = ScaleReading::Status;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Sign, six digits and the number of decimals: the indicators' own layout.
bool isSignSixAndDecimals(QByteArrayView text)
{
    if (text.size() != 8 || (text[0] != '+' && text[0] != '-'))
        return false;
    for (qsizetype i = 1; i < 8; ++i)
        if (!isDigit(text[i]))
            return false;
    return true;
}

ScaleReading signSixAndDecimals(QByteArrayView text)
{
    const int decimals = text[7] - '0';
    // More than four decimals is no count this layout has.
    if (decimals > 4)
        return ScaleReading::Refused(S::Garbled);
    ScaleFrameText::Number number;
    number.digits = text.sliced(1, 6).toByteArray();
    number.fraction = decimals;
    ScaleFrameText::Marks marks;
    marks.negative = text[0] == '-';
    return ScaleFrameText::Reading(number, ScaleFrameText::Unit::Kilograms, marks);
}

} // namespace

QList<QByteArray> ScaleStxEtxFormat::Cut(QByteArray &gathered)
{
    QList<QByteArray> frames;
    while (true) {
        const qsizetype stx = gathered.indexOf(kStx);
        if (stx < 0) {
            gathered.clear();
            break;
        }
        gathered.remove(0, stx);
        const qsizetype etx = gathered.indexOf(kEtx, 1);
        const qsizetype next = gathered.indexOf(kStx, 1);
        if (next >= 0 && (etx < 0 || next < etx)) {
            gathered.remove(0, next);
            continue;
        }
        if (etx < 0) {
            if (gathered.size() > kLongestFrame)
                gathered.clear();
            break;
        }
        if (etx <= kLongestFrame)
            frames.append(gathered.sliced(1, etx - 1));
        gathered.remove(0, etx + 1);
    }
    return frames;
}

QByteArray ScaleStxEtxFormat::Check(QByteArrayView text)
{
    std::uint8_t x = 0;
    for (char c : text)
        x ^= static_cast<std::uint8_t>(c);
    return QByteArray::number(x, 16).rightJustified(2, '0').toUpper();
}

ScaleReading ScaleStxEtxFormat::Parse(QByteArrayView body)
{
    if (body.size() < 3)
        return ScaleReading::Refused(S::Garbled);
    const QByteArrayView text = body.first(body.size() - 2);
    if (body.last(2).toByteArray().toUpper() != Check(text))
        return ScaleReading::Refused(S::BadCheck);
    // The exclusive-or misses bytes inserted in pairs (or any run that
    // cancels out): what is between must still read as one reading.
    if (!ScaleFrameText::Printable(text) || ScaleFrameText::NumberCount(text) > 1)
        return ScaleReading::Refused(S::Garbled);
    if (isSignSixAndDecimals(text))
        return signSixAndDecimals(text);
    const ScaleFrameText::Marks marks = ScaleFrameText::Inspect(text);
    const ScaleFrameText::Number number = ScaleFrameText::FirstNumber(text, false);
    ScaleFrameText::Unit unit =
        number.valid() ? ScaleFrameText::UnitAfter(text, number.end) : ScaleFrameText::Unit::None;
    if (unit == ScaleFrameText::Unit::None)
        unit = ScaleFrameText::Unit::Kilograms;
    return ScaleFrameText::Reading(number, unit, marks);
}

} // namespace quarvel
