#include "query/WaybillLookup.h"

#include "net/ServerSession.h"
#include "query/ConditionText.h"
#include "query/ServerListQuery.h"
#include "text/Gbk.h"

namespace quarvel {

namespace {

ServerListKind listOf(int uploadTarget)
{
    return uploadTarget == 1 ? ServerListKind::Records : ServerListKind::PreEntries;
}

ConditionText conditionOf(int clientId, int uploadTarget)
{
    const bool shipments = listOf(uploadTarget) == ServerListKind::Records;
    return ConditionText(shipments ? QStringLiteral("tarvo.dbo.client_rec") : QStringLiteral("tarvo.dbo.rec_pre_input"),
                         clientId);
}

} // namespace

QString WaybillLookup::Condition(int clientId, int uploadTarget, const QString &waybill)
{
    return conditionOf(clientId, uploadTarget).contains(QStringLiteral("cnum"), waybill).text();
}

QString WaybillLookup::ExactCondition(int clientId, int uploadTarget, const QString &waybill)
{
    return conditionOf(clientId, uploadTarget).equals(QStringLiteral("cnum"), waybill).text();
}

WaybillLookup::Result WaybillLookup::Find(const ServerSession &session, const BaseData &baseData,
                                          const QString &waybill)
{
    const QString number = waybill.trimmed();
    if (number.isEmpty())
        return {Presence::Absent, 0};
    const ServerListKind kind = listOf(session.uploadTarget());
    const QByteArray condition = Gbk::fromUnicode(Condition(session.clientId(), session.uploadTarget(), number));
    // The waybill column: 2 in both lists.
    constexpr int kWaybillColumn = 2;
    int total = 0;
    for (int page = 1;; ++page) {
        const ServerListQuery::Result r = ServerListQuery::Fetch(session, baseData, kind, condition, page, total);
        if (r.outcome == ServerListQuery::Outcome::NothingFound)
            return {Presence::Absent, 0};
        if (r.outcome != ServerListQuery::Outcome::Shown)
            return {Presence::Unknown, r.code};
        for (const RecordListModel::Row &row : r.page.rows)
            if (row.cells.value(kWaybillColumn) == number)
                return {Presence::Held, row.id};
        total = r.page.total;
        if (page >= r.page.pages || r.page.page != page)
            return {Presence::Absent, 0};
    }
}

} // namespace quarvel
