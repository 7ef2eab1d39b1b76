#pragma once

#include "list/RecordListModel.h"
#include "query/ServerList.h"

#include <QString>

#include <vector>

namespace quarvel {

class BaseData;
struct ListReply;

// One page of a server list as the page shows it: the rows with their
// numbers, ids and colours, the sums of the page and the summary line.
struct ListPage {
    int total = 0;
    int page = 1;
    int pages = 0;
    std::vector<RecordListModel::Row> rows;
    // Shipments and pre-entries: pieces, weight and (shipments) amount.
    qint64 pieces = 0;
    double weight = 0;
    double amount = 0;
    // Settlements: settled, bill and original-currency sums.
    double settled = 0;
    double bill = 0;
    double original = 0;

    // The rows of a reply that matched. Reading stops at the first record
    // without a line feed; a record that ends early keeps the cells it has.
    static ListPage Build(ServerListKind kind, const ListReply &reply, const BaseData &baseData);
    // ceil(total / 100)
    static int PagesOf(int total);

    // "●共 %d 票，%d 页。◇当前为第%d页：..." of the list.
    QString Summary(ServerListKind kind) const;
    // The page box after a fetch: the next page, or 1 after the last one.
    QString PageBoxText() const;
    // The page that confirming the box with `typed` fetches, limited to the
    // last page; 0 when nothing is to be fetched.
    int JumpTarget(int typed) const;
};

} // namespace quarvel
