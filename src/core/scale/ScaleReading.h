#pragma once

#include <QString>

namespace quarvel {

// What one frame of the scale says: a weight, or why it is none. A wrong
// weight is worse than none (the freight is charged on it), so a frame that
// says it moves, is below zero or beyond the scale's range, or that cannot be
// trusted, carries its reason instead of a weight.
class ScaleReading {
public:
    enum class Status {
        Stable,     // a weight
        Unstable,   // the scale says the load still moves
        Negative,   // below zero (a negative sign, an underload mark)
        Overload,   // above the scale's capacity
        OutOfRange, // a number beyond what any scale here weighs, or "out of range"
        BadUnit,    // a unit that is no weight (pieces, percent) or none where one is needed
        BadCheck,   // the check character does not match the frame
        Garbled,    // bytes that cannot be this frame as sent (high bits, a broken field)
    };

    // The heaviest reading taken: the weight field shows kilograms with three
    // decimals in at most six whole digits.
    static constexpr qint64 kHeaviestGrams = 999'999'999;

    Status status = Status::Stable;
    // The weight in grams as the frame gives it (with its sign); 0 when the
    // frame carries no number.
    qint64 grams = 0;
    bool hasNumber = false;
    // What one unit of the frame's last digit weighs, in grams (at least 1).
    int step = 1;
    // The frame itself says the weight is at rest; without such a mark only
    // agreeing readings tell it.
    bool marked = false;

    static ScaleReading Weight(qint64 grams, int step, bool marked = false);
    static ScaleReading Refused(Status status);
    static ScaleReading Refused(Status status, qint64 grams, int step);

    bool isWeight() const { return status == Status::Stable; }
    // The word quarvelctl prints: stable, unstable, negative, overload,
    // out-of-range, bad-unit, bad-check, garbled.
    QString word() const { return Word(status); }
    static QString Word(Status status);
    // What the page and the dialog show: 稳定, 不稳定, 负重, 超载, ...
    static QString Text(Status status);
    // Kilograms with three decimals, as the weight field shows them.
    static QString Kilograms(qint64 grams);
};

} // namespace quarvel
