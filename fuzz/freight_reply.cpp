// The freight reply (operation 3) and the quotation reply (operation 9),
// read against a small base data.
#include "net/BaseData.h"
#include "preinput/FreightQuery.h"
#include "query/PriceQuotation.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace {

const quarvel::BaseData &baseData()
{
    static const quarvel::BaseData data = [] {
        quarvel::BaseData d;
        d.parse("xN\nEMB\nTK\tfast\nJJ\tcheap\n\nEME\n\nGPB\n0,1\tBJ\tBEIJING\t100000\tBeijing\tChina\n\nGPE\n"
                "\nEPB\nTK\nBeijing\t\n\nEPE\n\a");
        return d;
    }();
    return data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray reply(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    (void)quarvel::FreightQuery::cents(reply);
    (void)quarvel::FreightQuery::breakdown(reply);
    const QList<quarvel::PriceQuotation::Row> rows = quarvel::PriceQuotation::parse(reply, baseData());
    // One row at most per line of the reply, each naming a known kind.
    if (rows.size() > reply.count('\n'))
        __builtin_trap();
    for (const quarvel::PriceQuotation::Row &row : rows)
        if (!baseData().kindByName(row.kind))
            __builtin_trap();
    return 0;
}
