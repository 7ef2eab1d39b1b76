#pragma once

#include "scale/ScaleSettings.h"

#include <QByteArrayView>
#include <QString>

namespace quarvel {

// Guesses the frame format of an unknown scale from a few seconds of what it
// sends: tries the BCD frames and every byte that recurs at a fixed distance
// as the start character, and decides kilograms or grams by the decimal
// point and normal or reversed order by which end of the digits changes (the
// last digit moves most) or, for a steady weight, by where the padding zeros
// stand. Every proposal is read back through the parser itself; the
// confidence says how well the stream fitted.
class ScaleDetector {
public:
    struct Guess {
        bool found = false;
        int type = 0;
        std::uint8_t start = '=';
        int dataLength = 18;
        int confidence = 0; // percent
        int frames = 0;     // frames found in the stream
        int grams = -1;     // the last weight read with the proposal
        qsizetype bytes = 0;
        // The proposal applied to the serial part of the given settings.
        ScaleSettings Apply(const ScaleSettings &settings) const;
        // What the operator is told.
        QString Text() const;
    };

    static Guess Detect(QByteArrayView bytes, const ScaleSettings &settings);
};

} // namespace quarvel
