#include "FreightOperation.h"

#include "Envelope.h"
#include "PriceTable.h"
#include "TransStatus.h"
#include "WireText.h"

#include <cstdio>

namespace quarvel::server {

namespace {

const char *const kItemTypes[] = {"文件", "包裹", "防水袋"};

std::string format(const char *pattern, auto... values)
{
    char text[256];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

std::string breakdown(const PriceTable::Price &p, const PriceTable::Destination &to, int itemType, int grams)
{
    const int steps = p.nextSteps(grams);
    std::string note = p.kindName + " → " + to.name + format(" (%d区), ", to.zone) + kItemTypes[itemType] +
                       format(", 计费重量%d克<BR>首重%d克: %.2f元", grams, p.firstGrams, p.first);
    if (steps > 0)
        note += format("<BR>续重%d×%d克: %.2f元", steps, p.nextGrams, steps * p.next);
    note += format("<BR>运费合计: %.2f元", p.freight(grams));
    if (p.minDays > 0 || p.maxDays > 0)
        note += format("<BR>预计 %d - %d 天", p.minDays, p.maxDays);
    return note;
}

} // namespace

std::string FreightOperation::answer(const TransRequest &request)
{
    const Envelope &e = request.envelope;
    if (e.id < 0 || e.id > 2)
        return statusLine(BadId);
    if (e.number <= 0)
        return statusLine(BadNumber);
    const std::string &payload = e.payload;
    const auto first = payload.find('\n');
    if (!e.trailingBel || first == std::string::npos || payload.find('\n', first + 1) != payload.size() - 1)
        return statusLine(BadCommand);

    std::string destinationName;
    std::string kind;
    if (!WireText::toUtf8(std::string_view(payload).substr(0, first), destinationName) ||
        !WireText::toUtf8(std::string_view(payload).substr(first + 1, payload.size() - first - 2), kind))
        return statusLine(0);
    const PriceTable prices(request.db);
    const auto to = prices.destination(destinationName);
    if (!to)
        return statusLine(0);
    const auto price = prices.price(kind, *to, e.id);
    if (!price)
        return statusLine(0);
    return format("%.2f\n", price->freight(e.number)) + WireText::toGbk(breakdown(*price, *to, e.id, e.number)) + "\n";
}

} // namespace quarvel::server
