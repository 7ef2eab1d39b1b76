#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace quarvel {

class BaseData;
struct DestinationEntry;

// The destinations offered while a destination is typed: those whose name,
// first key, second key, postcode or country (tried in this order) start with
// the text, case ignored, each once, at most `limit`. A trailing 市 or 省 is
// ignored, and a city the base data names with its province is found by the
// city alone (广州 → 广东广州).
QList<const DestinationEntry *> MatchDestinations(const BaseData &base, const QString &typed, int limit = 5);

// What a destination given as text (a save without a pick, a script) names.
struct DestinationLookup {
    // The entry, or null when the text names none (or more than one).
    const DestinationEntry *entry = nullptr;
    // Without an entry: the names that come nearest, for the message.
    QStringList nearest;
};

// A name (case ignored, a trailing 市/省 ignored), a key or postcode that
// exactly one entry has, the city of exactly one province (广州 → 广东广州),
// else the longest name the text begins with (北京市朝阳区 → 北京).
DestinationLookup ResolveDestination(const BaseData &base, const QString &text);

// The receiver's place as a destination tells it.
struct ReceiverPlace {
    QString postcode;
    QString country;
    QString province;
    QString city;
};

// Fills the parts of place that are empty from a destination of the base
// data, as choosing it for a typed destination does: its postcode, its
// country (中国 for the mainland and the Chinese-speaking regions) and,
// in China, the province and city its name (or else the typed text) splits into.
void FillFromDestination(const DestinationEntry &destination, const QString &typed, ReceiverPlace &place);

} // namespace quarvel
