#pragma once

#include "scale/ScaleSettings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace quarvel {

// The guess of the original text formats (types 0, 1, 3, 4): every byte
// that recurs at a fixed distance is tried as the start character; the
// frames must be plain readings (one number, a sign, a unit, status words,
// no control bytes), kilograms or grams by the decimal point, normal or
// reversed order by which end of the digits changes (the last digit moves
// most) or, for a steady weight, by where the padding zeros stand.
class ScaleTextGuess {
public:
    struct Result {
        bool found = false;
        int type = 0;
        std::uint8_t start = '=';
        int dataLength = 18;
        int frames = 0;
        // How well the stream fitted, 0-1, before the read-back through the parser.
        double fit = 0;
    };

    static constexpr int kLongestFrame = 64;

    static Result Guess(QByteArrayView bytes);
    // The share of the distances between successive positions that are the
    // most common one: 1 for frames at a steady distance.
    static double SteadyShare(const QList<qsizetype> &positions);
    // Whether the bytes between two start characters can be a frame of the
    // plain text formats: printable text with exactly one number.
    static bool PlainReading(QByteArrayView body, std::uint8_t start);
};

} // namespace quarvel
