#pragma once

#include <QList>
#include <QString>

namespace quarvel {

class BaseData;
struct DestinationEntry;

// The destinations offered while a destination is typed: those whose name,
// first key, second key, postcode or country (tried in this order) start with
// the text, case ignored, each once, at most `limit`.
QList<const DestinationEntry *> MatchDestinations(const BaseData &base, const QString &typed, int limit = 5);

} // namespace quarvel
