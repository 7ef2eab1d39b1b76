// The query pages' reading of list replies: every page of any bytes has at
// most as many rows as BEL-ended records, each row as many cells as its
// list has columns, and a summary and page box that can be shown.
#include "net/BaseData.h"
#include "net/ListReply.h"
#include "query/ListPage.h"

#include <cstddef>
#include <cstdint>

using namespace quarvel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const BaseData base = [] {
        BaseData b;
        b.parse("xN\nEMB\nTK\tEMS\n\nEME\n\a");
        return b;
    }();
    const QByteArray reply(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const ListReply parsed = ListReply::parse(reply);
    for (const ServerListKind kind :
         {ServerListKind::Records, ServerListKind::PreEntries, ServerListKind::Settlements}) {
        const ListPage page = ListPage::Build(kind, parsed, base);
        if (page.rows.size() > static_cast<std::size_t>(parsed.records.size()) || page.page < 1 || page.pages < 0)
            __builtin_trap();
        for (const auto &row : page.rows)
            if (row.cells.size() != ServerList::Columns(kind).size())
                __builtin_trap();
        if (page.Summary(kind).isEmpty() || !page.PageBoxText().endsWith(u'页'))
            __builtin_trap();
        (void)page.JumpTarget(static_cast<int>(size) - 3);
    }
    return 0;
}
