#pragma once

#include "scale/ScaleReading.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace quarvel {

// The continuous output that Toledo terminals and many others send: STX,
// three status bytes, six digits of the displayed weight, six of the tare,
// CR, and optionally a checksum byte (17 or 18 bytes). Status byte A gives
// the decimal point, B the sign, out of range, motion and kg or lb, C grams
// (or another unit); bit 7 of each may be parity and is not read.
class ScaleToledoFormat {
public:
    static constexpr int kFrameBytes = 17;
    static constexpr int kCheckedFrameBytes = 18;

    // Takes the complete frames out of the gathered bytes: an STX with CR
    // sixteen bytes on and digits between; any other STX is noise.
    static QList<QByteArray> Cut(QByteArray &gathered, bool checked);
    static ScaleReading Parse(QByteArrayView frame, bool checked);
    // The checksum byte: the two's complement of the low seven bits of the
    // sum of every byte before it.
    static char Checksum(QByteArrayView frame);
};

} // namespace quarvel
