#include "scale/ScaleToledoFormat.h"

#include "scale/ScaleFrameText.h"

namespace quarvel {

namespace {

using S = ScaleReading::Status;
using Unit = ScaleFrameText::Unit;

constexpr char kStx = '\x02';
constexpr char kCr = '\r';

bool isFrameAt(QByteArrayView bytes, qsizetype at)
{
    if (bytes[at] != kStx || bytes[at + 16] != kCr)
        return false;
    for (qsizetype i = at + 4; i < at + 16; ++i)
        if (!(bytes[i] >= '0' && bytes[i] <= '9') && bytes[i] != ' ')
            return false;
    return true;
}

std::uint8_t statusByte(QByteArrayView frame, int k)
{
    return static_cast<std::uint8_t>(frame[k]) & 0x7F;
}

// Bits 0-2 of status byte A: where the decimal point stands, from two dummy
// zeros (code 0) to five decimals (code 7).
ScaleFrameText::Number weightDigits(QByteArrayView frame)
{
    ScaleFrameText::Number n;
    n.digits = frame.sliced(4, 6).toByteArray().replace(' ', '0');
    const int code = statusByte(frame, 1) & 7;
    if (code <= 2)
        n.exponent = 2 - code;
    else
        n.fraction = code - 2;
    return n;
}

// Bits 0-2 of status byte C name a unit of their own (grams, tonnes,
// ounces, then units that are no weight here); zero leaves it to B's kg/lb bit.
Unit unitOf(QByteArrayView frame)
{
    switch (statusByte(frame, 3) & 7) {
    case 0:
        return statusByte(frame, 2) & 0x10 ? Unit::Kilograms : Unit::Pounds;
    case 1:
        return Unit::Grams;
    case 2:
        return Unit::Tonnes;
    case 3:
        return Unit::Ounces;
    default:
        return Unit::NoWeight;
    }
}

} // namespace

QList<QByteArray> ScaleToledoFormat::Cut(QByteArray &gathered, bool checked)
{
    const int length = checked ? kCheckedFrameBytes : kFrameBytes;
    QList<QByteArray> frames;
    qsizetype at = 0;
    while (true) {
        at = gathered.indexOf(kStx, at);
        if (at < 0) {
            gathered.clear();
            return frames;
        }
        if (gathered.size() - at < length)
            break;
        if (isFrameAt(gathered, at)) {
            frames.append(gathered.sliced(at, length));
            at += length;
        } else {
            ++at;
        }
    }
    gathered.remove(0, at);
    return frames;
}

char ScaleToledoFormat::Checksum(QByteArrayView frame)
{
    unsigned sum = 0;
    for (char c : frame)
        sum += static_cast<std::uint8_t>(c);
    return char((0x80 - (sum & 0x7F)) & 0x7F);
}

ScaleReading ScaleToledoFormat::Parse(QByteArrayView frame, bool checked)
{
    if (frame.size() < (checked ? kCheckedFrameBytes : kFrameBytes) || !isFrameAt(frame, 0))
        return ScaleReading::Refused(S::Garbled);
    if (checked && (static_cast<std::uint8_t>(frame[17]) & 0x7F) != std::uint8_t(Checksum(frame.first(17))))
        return ScaleReading::Refused(S::BadCheck);
    const std::uint8_t b = statusByte(frame, 2);
    ScaleFrameText::Marks marks;
    marks.negative = b & 0x02;
    const bool outOfRange = b & 0x04;
    marks.overload = outOfRange && !marks.negative;
    marks.underload = outOfRange && marks.negative;
    marks.unstable = b & 0x08;
    marks.stable = !marks.unstable;
    return ScaleFrameText::Reading(weightDigits(frame), unitOf(frame), marks);
}

} // namespace quarvel
