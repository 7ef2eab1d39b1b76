#pragma once

#include "list/ListColumn.h"

#include <QList>
#include <QString>

namespace quarvel {

// The three server lists that pages show 100 records at a time.
enum class ServerListKind {
    Records,     // the customer's shipments in the company's system (operation 1)
    PreEntries,  // uploaded pre-entries not yet processed (operation 8)
    Settlements, // settlements (operation 6)
};

// What belongs to each list: its operation, its page, its columns and
// titles, and the names and colours of the indexes its records carry.
class ServerList {
public:
    static constexpr int kPageSize = 100;

    static int Operation(ServerListKind kind);
    // The page of the main view that shows the list (PageCatalog).
    static int PageIndex(ServerListKind kind);
    static QString Title(ServerListKind kind);
    static QList<ListColumn> Columns(ServerListKind kind);
    // The title of an exported list: "快件记录清单", ...
    static QString ExportTitle(ServerListKind kind);

    // The fixed condition of the uploaded pre-entry list.
    static QString PreEntryCondition(int clientId);

    // Names of the indexes; an index outside the table shows as its number.
    static QString ItemTypeName(int index);
    static QString PayWayName(int index);
    // "未发", "已发", "转运", "送达", ... "销毁".
    static QString StateName(int index);
    // Text colour of a shipment row by state (0xRRGGBB): sent black, in
    // transit olive, delivered green, every exception red, anything else grey.
    static unsigned StateColor(int state);
};

} // namespace quarvel
