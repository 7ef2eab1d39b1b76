#pragma once

#include "list/ListSnapshot.h"
#include "list/RecordListModel.h"
#include "query/ServerList.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <vector>

namespace quarvel {

class BaseData;
class ServerSession;

// "Export all pages": every page of a list's condition fetched in turn and
// gathered into one list, with progress after each page and a stop flag
// that is read between pages. Runs on a worker thread; it only reads the
// session and the base data.
class AllPagesFetch {
public:
    struct Result {
        bool complete = false; // every page arrived
        bool stopped = false;  // the operator stopped it
        bool nothingFound = false; // the server has no record of the condition
        int pagesFetched = 0;
        int pages = 0;
        // Why it ended early, when it failed.
        QString message;
        std::vector<RecordListModel::Row> rows;
    };
    // After each page: the page fetched and the number of pages.
    using Progress = std::function<void(int page, int pages)>;

    static Result Run(const ServerSession &session, const BaseData &baseData, ServerListKind kind,
                      const QByteArray &condition, const std::atomic<bool> &stop, const Progress &progress);
    // The gathered rows as the list export writes them.
    static ListSnapshot Snapshot(ServerListKind kind, const std::vector<RecordListModel::Row> &rows);
};

} // namespace quarvel
