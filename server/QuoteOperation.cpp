#include "QuoteOperation.h"

#include "Envelope.h"
#include "PriceTable.h"
#include "TransStatus.h"
#include "WireText.h"

#include <cstdio>

namespace quarvel::server {

namespace {

// A field of a quotation line holds no tab and no line break.
std::string field(const std::string &utf8)
{
    std::string gbk = WireText::toGbk(utf8);
    for (char &c : gbk) {
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    }
    return gbk;
}

} // namespace

std::string QuoteOperation::answer(const TransRequest &request)
{
    const Envelope &e = request.envelope;
    if (e.id < 0 || e.id > 2)
        return statusLine(BadId);
    if (e.number <= 0)
        return statusLine(BadNumber);
    const std::string &payload = e.payload;
    if (!e.trailingBel || payload.find('\n') != payload.size() - 1)
        return statusLine(BadCommand);

    std::string destinationName;
    if (!WireText::toUtf8(std::string_view(payload).substr(0, payload.size() - 1), destinationName))
        return statusLine(0);
    const PriceTable table(request.db);
    const auto to = table.destination(destinationName);
    if (!to)
        return statusLine(0);
    const auto prices = table.prices(*to, e.id);
    std::string reply = statusLine(static_cast<int>(prices.size()));
    for (const PriceTable::Price &p : prices) {
        char freight[32];
        std::snprintf(freight, sizeof freight, "%.2f", p.freight(e.number));
        reply += field(p.kind) + "\t" + freight + "\t" + field(p.extra) + "\t" + std::to_string(p.minDays) + "\t" +
                 std::to_string(p.maxDays) + "\n";
    }
    return reply;
}

} // namespace quarvel::server
