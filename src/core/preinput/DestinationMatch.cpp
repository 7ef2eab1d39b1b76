#include "preinput/DestinationMatch.h"

#include "net/BaseData.h"

namespace quarvel {

QList<const DestinationEntry *> MatchDestinations(const BaseData &base, const QString &typed, int limit)
{
    QList<const DestinationEntry *> found;
    if (typed.isEmpty())
        return found;
    static constexpr DestinationEntry::Field kOrder[] = {DestinationEntry::Name, DestinationEntry::FirstKey,
                                                         DestinationEntry::SecondKey, DestinationEntry::Postcode,
                                                         DestinationEntry::Country};
    for (DestinationEntry::Field view : kOrder) {
        for (const DestinationEntry *d : base.matchPrefix(view, typed, limit)) {
            if (found.size() >= limit)
                return found;
            if (!found.contains(d))
                found.append(d);
        }
    }
    return found;
}

} // namespace quarvel
