#pragma once

#include "scale/ScaleReading.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace quarvel {

// Frames between STX and ETX that end in a check of two hexadecimal
// characters, the exclusive-or of every byte between STX and the check, as
// weighbridge indicators send them: "\x02+0015600" "19" "\x03" is +001560
// with no decimals, 1560 kg. The check is verified before anything is read;
// a frame whose check does not match is no weight. Besides the sign, six
// digits and the decimal count, the text between may be any status-carrying
// reading ("+  1.250kg M"), read in kilograms unless it names its unit.
class ScaleStxEtxFormat {
public:
    static constexpr char kStx = '\x02';
    static constexpr char kEtx = '\x03';
    // Longer without its ETX is no frame.
    static constexpr int kLongestFrame = 64;

    // Takes the complete frames (the bytes between STX and ETX) out of the
    // gathered bytes; a frame cut short by a new STX is dropped.
    static QList<QByteArray> Cut(QByteArray &gathered);
    static ScaleReading Parse(QByteArrayView body);
    // The two check characters of a text, upper case.
    static QByteArray Check(QByteArrayView text);
};

} // namespace quarvel
