#pragma once

#include "scale/ScaleReading.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

namespace quarvel {

// The comma-separated status and unit lines of counter and bench scales and
// of many balances: "ST,GS,+0001.250kg", "US,NT,-  0.125kg", "OL,GS,+    .  kg",
// "ST,+00245.60  g", the unit also as a field of its own ("ST,+0001.278, g"),
// fields before the status (an ID, a date, a time) skipped. ST is stable, US
// unstable, OL overload, QT a piece count; the unit is required.
class ScaleCommaFormat {
public:
    // A line longer than this is no frame; it is dropped to its end.
    static constexpr int kLongestLine = 100;

    // Takes the complete lines (ended by CR or LF) out of the gathered bytes;
    // `skipping` carries an overlong line's drop across calls.
    static QList<QByteArray> Cut(QByteArray &gathered, bool &skipping);
    // The reading of one line, or nothing when it carries no status header
    // (no frame of this family: a heading, an echo, noise).
    static std::optional<ScaleReading> Parse(QByteArrayView line);
};

} // namespace quarvel
