#include "report/DayReconciliation.h"

#include "net/ServerSession.h"
#include "query/AllPagesFetch.h"
#include "query/ConditionText.h"
#include "text/Gbk.h"

namespace quarvel {

namespace {

constexpr int kNumberColumn = 2;
constexpr int kAmountColumn = 6;

ServerListKind listOf(int uploadTarget)
{
    return uploadTarget == 1 ? ServerListKind::Records : ServerListKind::PreEntries;
}

DayReport::ServerRow rowOf(ServerListKind kind, const RecordListModel::Row &row)
{
    DayReport::ServerRow r;
    r.serverId = row.id;
    r.number = row.cells.value(kNumberColumn).trimmed();
    if (kind == ServerListKind::Records) {
        bool ok = false;
        const double amount = row.cells.value(kAmountColumn).toDouble(&ok);
        r.amount = ok ? amount : -1;
    }
    return r;
}

} // namespace

QString DayReconciliation::Condition(int clientId, int uploadTarget, QDate day)
{
    const bool records = listOf(uploadTarget) == ServerListKind::Records;
    const QString date = QStringLiteral("%1.%2.%3")
                             .arg(day.year())
                             .arg(day.month(), 2, 10, QLatin1Char('0'))
                             .arg(day.day(), 2, 10, QLatin1Char('0'));
    // The server stamps each record with the time it entered it: the day
    // the counter's ledger files it under.
    return ConditionText(records ? QStringLiteral("tarvo.dbo.client_rec") : QStringLiteral("tarvo.dbo.rec_pre_input"),
                         clientId)
        .add(QStringLiteral("dsysdate BETWEEN '%1 0:0:0.0' AND '%1 23:59:59.998'").arg(date))
        .text();
}

DayReconciliation::Result DayReconciliation::Fetch(const ServerSession &session, const BaseData &baseData, QDate day,
                                                   const std::atomic<bool> &stop)
{
    const ServerListKind kind = listOf(session.uploadTarget());
    const QByteArray condition = Gbk::fromUnicode(Condition(session.clientId(), session.uploadTarget(), day));
    const AllPagesFetch::Result fetched = AllPagesFetch::Run(session, baseData, kind, condition, stop, [](int, int) {});
    Result result;
    result.complete = fetched.complete || fetched.nothingFound;
    result.message = fetched.message;
    for (const RecordListModel::Row &row : fetched.rows)
        result.rows.append(rowOf(kind, row));
    return result;
}

void DayReconciliation::Apply(DayReport &report, const ServerSession &session, const BaseData &baseData)
{
    if (!session.loggedIn()) {
        report.SetServerProblem(DayReport::NeedsLoginText());
        return;
    }
    const std::atomic<bool> never{false};
    const Result result = Fetch(session, baseData, report.date(), never);
    if (result.complete)
        report.Reconcile(result.rows);
    else
        report.SetServerProblem(result.message);
}

} // namespace quarvel
