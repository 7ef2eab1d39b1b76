#pragma once

#include "scale/ScaleParity.h"
#include "scale/ScaleReading.h"
#include "scale/ScaleSettings.h"

#include <QByteArrayView>
#include <QMap>
#include <QString>

namespace quarvel {

// Finds the frame format of an unknown scale from a few seconds of what it
// sends, and would rather say it cannot than guess. Every format is tried by
// reading the stream back through the parser itself; a format is proposed
// only when its frames are there, decode, and give readings whose unit, sign
// and status are the frames' own. Formats that carry a check or a fixed
// structure are tried first: a loose text format reads almost anything. When
// the bytes look like 7-bit characters with a parity bit, that is said and
// proposed too, and the format is looked for in the seven low bits.
class ScaleDetector {
public:
    struct Guess {
        bool found = false;
        int type = 0;
        std::uint8_t start = '=';
        int dataLength = 18;
        int confidence = 0; // percent
        int frames = 0;     // frames read with the proposal
        int grams = -1;     // the last weight read with it, -1 for none
        qsizetype bytes = 0;
        // Frames of the proposal that were no weight, by reason.
        QMap<ScaleReading::Status, int> refused;
        ScaleParity::Hint parity;
        // The proposal applied to the given settings (the serial part kept,
        // but for the data bits and parity a parity hint proposes).
        ScaleSettings Apply(const ScaleSettings &settings) const;
        // What the operator is told.
        QString Text() const;
        // quarvelctl's "scale set ..." line for the proposal.
        QString SetCommand() const;
    };

    // Fewer frames than this are no format.
    static constexpr int kLeastFrames = 3;
    // Below this confidence the stream is not recognised.
    static constexpr int kLeastConfidence = 40;

    static Guess Detect(QByteArrayView bytes, const ScaleSettings &settings);
};

} // namespace quarvel
