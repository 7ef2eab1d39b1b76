#pragma once

#include "scale/ScaleReading.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace quarvel {

// The text of a frame read the way the scale means it: the number, the unit
// written beside it, its sign and the status words around it ("ST", "US",
// "OL", a motion "M", Ohaus's "?"). Every text format goes through here, so
// a frame that says grams is read as grams whatever the chosen format
// assumes, and a frame that says it moves or is overloaded is never a weight.
class ScaleFrameText {
public:
    enum class Unit { None, Grams, Kilograms, Tonnes, Pounds, Ounces, NoWeight };

    // What the words of the frame say about the number.
    struct Marks {
        bool negative = false;
        bool unstable = false;
        bool overload = false;
        bool underload = false;
        bool outOfRange = false;
        bool stable = false;
        bool counting = false; // a counting header: pieces, not a weight
        bool garbled = false;  // a byte from 128 up standing for a digit, point or sign
    };

    // A decimal number as written: its digits without the point, how many
    // follow the point, and an exponent.
    struct Number {
        QByteArray digits;
        int fraction = 0;
        int exponent = 0;
        qsizetype start = -1; // where it stands in the text
        qsizetype end = -1;   // one past its last character
        bool valid() const { return !digits.isEmpty(); }
    };

    static Marks Inspect(QByteArrayView body);
    // Whether the text is printable ASCII only, and how many numbers (runs
    // of digits with their point) it holds: a frame that passed its check
    // may still carry bytes inserted whole, and those must not end up in a
    // weight.
    static bool Printable(QByteArrayView text);
    static int NumberCount(QByteArrayView text);
    // The number that begins at `from` (a digit): digits, a point and more
    // digits, and an exponent when `exponent` (as atof reads it).
    static Number ReadNumber(QByteArrayView text, qsizetype from, bool exponent);
    // The first number of the text, from its first digit.
    static Number FirstNumber(QByteArrayView text, bool exponent);
    // The unit written right after the number (spaces between).
    static Unit UnitAfter(QByteArrayView text, qsizetype end);
    // g, kg, t, lb, lbs, oz in any case; pcs, ct, % and the like are no weight.
    static Unit UnitOf(QByteArrayView token);
    // The number in grams: exact and truncated toward zero for the metric
    // units (as the kilogram formats always were), rounded to the gram for
    // pounds and ounces; nothing when it is heavier than any scale here.
    static std::optional<qint64> Grams(const Number &number, Unit unit, int &step);
    // The reading: the marks first (an overloaded, garbled or out-of-range
    // frame has no weight whatever its digits), then the number in its unit.
    static ScaleReading Reading(const Number &number, Unit unit, const Marks &marks);
};

} // namespace quarvel
