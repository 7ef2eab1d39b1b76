#include "PriceTable.h"

#include "Database.h"

#include <cmath>

namespace quarvel::server {

namespace {

constexpr const char *kPriceQuery =
    "SELECT k.ccode, k.cname, p.nfirstgrams, p.ffirst, p.nnextgrams, p.fnext, p.fextra, p.nmindays, p.nmaxdays "
    "FROM ems_kind k JOIN ems_kind_des s ON s.ccode = k.ccode "
    "JOIN ems_price p ON p.ccode = k.ccode AND p.nzone = ? AND p.nitemtype = ? "
    "WHERE s.ides = ?";

PriceTable::Price readPrice(const Statement &q)
{
    PriceTable::Price p;
    p.kind = q.text(0);
    p.kindName = q.text(1);
    p.firstGrams = static_cast<int>(q.integer(2));
    p.first = q.real(3);
    p.nextGrams = static_cast<int>(q.integer(4));
    p.next = q.real(5);
    p.extra = q.text(6);
    p.minDays = static_cast<int>(q.integer(7));
    p.maxDays = static_cast<int>(q.integer(8));
    return p;
}

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

int PriceTable::Price::nextSteps(int grams) const
{
    if (grams <= firstGrams || nextGrams <= 0)
        return 0;
    return (grams - firstGrams + nextGrams - 1) / nextGrams;
}

double PriceTable::Price::freight(int grams) const
{
    return std::round((first + nextSteps(grams) * next) * 100) / 100;
}

std::optional<PriceTable::Destination> PriceTable::destination(const std::string &name) const
{
    auto q = db_.prepare("SELECT ides, nzone, cname FROM destination WHERE cname = ?");
    q.bind(1, trimmed(name));
    if (!q.step())
        return std::nullopt;
    return Destination{q.integer(0), static_cast<int>(q.integer(1)), q.text(2)};
}

std::optional<PriceTable::Price> PriceTable::price(const std::string &kindCode, const Destination &to,
                                                   int itemType) const
{
    auto q = db_.prepare(std::string(kPriceQuery) + " AND k.ccode = ?");
    q.bind(1, to.zone).bind(2, itemType).bind(3, static_cast<std::int64_t>(to.id)).bind(4, kindCode);
    if (!q.step())
        return std::nullopt;
    return readPrice(q);
}

std::vector<PriceTable::Price> PriceTable::prices(const Destination &to, int itemType) const
{
    auto q = db_.prepare(std::string(kPriceQuery) + " ORDER BY k.nsort, k.ccode");
    q.bind(1, to.zone).bind(2, itemType).bind(3, static_cast<std::int64_t>(to.id));
    std::vector<Price> list;
    while (q.step())
        list.push_back(readPrice(q));
    return list;
}

} // namespace quarvel::server
