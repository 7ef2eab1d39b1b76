#include "query/AllPagesFetch.h"

#include "query/ServerListQuery.h"

namespace quarvel {

AllPagesFetch::Result AllPagesFetch::Run(const ServerSession &session, const BaseData &baseData, ServerListKind kind,
                                         const QByteArray &condition, const std::atomic<bool> &stop,
                                         const Progress &progress)
{
    Result result;
    int total = 0;
    for (int page = 1;; ++page) {
        if (stop.load()) {
            result.stopped = true;
            return result;
        }
        ServerListQuery::Result r = ServerListQuery::Fetch(session, baseData, kind, condition, page, total);
        if (r.outcome != ServerListQuery::Outcome::Shown) {
            result.nothingFound = page == 1 && r.outcome == ServerListQuery::Outcome::NothingFound;
            result.message = r.message;
            return result;
        }
        // A page other than the one asked for: the list shrank meanwhile
        // (the server answered its last page again), or the server pages
        // in a way that would loop for ever.
        if (r.page.page != page) {
            result.complete = page > r.page.pages;
            if (!result.complete)
                result.message = QStringLiteral("查询失败。返回值：%1").arg(r.page.page);
            return result;
        }
        total = r.page.total;
        result.pages = r.page.pages;
        result.pagesFetched = page;
        for (RecordListModel::Row &row : r.page.rows)
            result.rows.push_back(std::move(row));
        if (progress)
            progress(page, result.pages);
        if (page >= result.pages) {
            result.complete = true;
            return result;
        }
    }
}

ListSnapshot AllPagesFetch::Snapshot(ServerListKind kind, const std::vector<RecordListModel::Row> &rows)
{
    ListSnapshot s;
    s.title = ServerList::ExportTitle(kind);
    for (const ListColumn &c : ServerList::Columns(kind))
        s.columns.append({c.caption, c.width, c.align == ListColumn::Align::Right});
    s.rows.reserve(static_cast<qsizetype>(rows.size()));
    for (const RecordListModel::Row &r : rows)
        s.rows.append(r.cells);
    return s;
}

} // namespace quarvel
