#include "preinput/DestinationMatch.h"

#include "net/BaseData.h"
#include "preinput/ProvinceTable.h"

namespace quarvel {

namespace {

// Operators and scripts write 北京市, 广东省广州市 where the base data says
// 北京, 广东广州: the 省 or 市 after a province and at the end go.
QString withoutAdminSuffix(const QString &text)
{
    QString t = text.trimmed();
    for (const QString &province : ProvinceTable::Names())
        if (t.size() > province.size() + 1 && t.startsWith(province) &&
            (t.at(province.size()) == u'省' || t.at(province.size()) == u'市')) {
            t.remove(province.size(), 1);
            break;
        }
    if (t.size() > 1 && (t.endsWith(u'市') || t.endsWith(u'省')))
        t.chop(1);
    return t;
}

void addOnce(QList<const DestinationEntry *> &found, const QList<const DestinationEntry *> &more, int limit)
{
    for (const DestinationEntry *d : more) {
        if (found.size() >= limit)
            return;
        if (!found.contains(d))
            found.append(d);
    }
}

void addPrefixMatches(const BaseData &base, const QString &typed, int limit, QList<const DestinationEntry *> &found)
{
    static constexpr DestinationEntry::Field kOrder[] = {DestinationEntry::Name, DestinationEntry::FirstKey,
                                                         DestinationEntry::SecondKey, DestinationEntry::Postcode,
                                                         DestinationEntry::Country};
    for (DestinationEntry::Field view : kOrder)
        addOnce(found, base.matchPrefix(view, typed, limit), limit);
}

// Names of the form province + text (广东广州 for 广州).
QList<const DestinationEntry *> afterProvince(const BaseData &base, const QString &text, int limit)
{
    QList<const DestinationEntry *> found;
    for (const QString &province : ProvinceTable::Names())
        if (!text.startsWith(province))
            addOnce(found, base.matchPrefix(DestinationEntry::Name, province + text, limit), limit);
    return found;
}

// The one entry whose field of this view equals the text (case ignored).
const DestinationEntry *onlyExact(const BaseData &base, DestinationEntry::Field view, const QString &text)
{
    const DestinationEntry *only = nullptr;
    for (const DestinationEntry *d : base.matchPrefix(view, text, 50)) {
        if (d->text(view).compare(text, Qt::CaseInsensitive) != 0)
            continue;
        if (only)
            return nullptr;
        only = d;
    }
    return only;
}

const DestinationEntry *longestNameAtStart(const BaseData &base, const QString &text)
{
    const DestinationEntry *longest = nullptr;
    for (const DestinationEntry &d : base.destinations()) {
        const QString name = d.text(DestinationEntry::Name);
        if (!name.isEmpty() && text.startsWith(name, Qt::CaseInsensitive) &&
            (!longest || name.size() > longest->text(DestinationEntry::Name).size()))
            longest = &d;
    }
    return longest;
}

void fillWhenEmpty(QString &field, const QString &value)
{
    if (field.trimmed().isEmpty())
        field = value;
}

QStringList names(const QList<const DestinationEntry *> &entries)
{
    QStringList out;
    for (const DestinationEntry *d : entries)
        out << d->text(DestinationEntry::Name);
    return out;
}

QStringList nearestNames(const BaseData &base, const QString &text)
{
    constexpr int kShown = 5;
    QList<const DestinationEntry *> near = MatchDestinations(base, text, kShown);
    for (const DestinationEntry &d : base.destinations())
        if (near.size() < kShown && d.text(DestinationEntry::Name).contains(text, Qt::CaseInsensitive))
            addOnce(near, {&d}, kShown);
    // Else the names that share the longest start with it.
    for (qsizetype n = text.size() - 1; near.isEmpty() && n > 0; --n)
        near = MatchDestinations(base, text.left(n), kShown);
    return names(near);
}

} // namespace

QList<const DestinationEntry *> MatchDestinations(const BaseData &base, const QString &typed, int limit)
{
    QList<const DestinationEntry *> found;
    const QString bare = withoutAdminSuffix(typed);
    if (bare.isEmpty())
        return found;
    addPrefixMatches(base, typed, limit, found);
    if (bare != typed)
        addPrefixMatches(base, bare, limit, found);
    addOnce(found, afterProvince(base, bare, limit), limit);
    return found;
}

DestinationLookup ResolveDestination(const BaseData &base, const QString &text)
{
    DestinationLookup result;
    const QString typed = text.trimmed();
    const QString bare = withoutAdminSuffix(typed);
    if (bare.isEmpty())
        return result;
    for (const QString &name : {typed, bare})
        if ((result.entry = base.destinationByName(name)))
            return result;
    // The same name but for its 市 or 省 (北京 for a base data's 北京市).
    const DestinationEntry *same = nullptr;
    for (const DestinationEntry *d : base.matchPrefix(DestinationEntry::Name, bare, 50))
        if (withoutAdminSuffix(d->text(DestinationEntry::Name)).compare(bare, Qt::CaseInsensitive) == 0)
            same = same ? nullptr : d;
    if ((result.entry = same))
        return result;
    for (DestinationEntry::Field key :
         {DestinationEntry::FirstKey, DestinationEntry::SecondKey, DestinationEntry::Postcode})
        if ((result.entry = onlyExact(base, key, typed)))
            return result;
    QList<const DestinationEntry *> cities;
    for (const DestinationEntry *d : afterProvince(base, bare, 50))
        if (ProvinceTable::SplitDestination(d->text(DestinationEntry::Name)).value_or(ProvinceTable::Split{}).city ==
            bare)
            cities.append(d);
    if (cities.size() == 1) {
        result.entry = cities.first();
        return result;
    }
    if (cities.isEmpty())
        for (const QString &text : {typed, bare})
            if ((result.entry = longestNameAtStart(base, text)))
                return result;
    result.nearest = cities.isEmpty() ? nearestNames(base, bare) : names(cities);
    return result;
}

void FillFromDestination(const DestinationEntry &d, const QString &typed, ReceiverPlace &place)
{
    if (!d.postcode.isEmpty())
        fillWhenEmpty(place.postcode, d.text(DestinationEntry::Postcode));
    if (d.region == 2) {
        fillWhenEmpty(place.country, d.text(DestinationEntry::Country));
        return;
    }
    fillWhenEmpty(place.country, QStringLiteral("中国"));
    std::optional<ProvinceTable::Split> split = ProvinceTable::SplitDestination(d.text(DestinationEntry::Name));
    if (!split)
        split = ProvinceTable::SplitDestination(typed.trimmed());
    if (split) {
        fillWhenEmpty(place.province, split->province);
        fillWhenEmpty(place.city, split->city);
    }
}

} // namespace quarvel
