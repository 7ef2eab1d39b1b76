#include "report/DayReportRows.h"

namespace quarvel {

namespace {

QString stateText(const DayReport::Shipment &s)
{
    if (!s.uploaded)
        return s.reason;
    return s.pricedOnServer ? QStringLiteral("已上传(服务器已计费)") : QStringLiteral("已上传");
}

RecordListModel::Row rowOf(const DayReport::Shipment &s)
{
    RecordListModel::Row row;
    row.id = s.uploaded ? s.serverId : s.localId;
    row.cells = {QString(),
                 s.number,
                 stateText(s),
                 s.uploaded ? s.acceptedAt.toString(QStringLiteral("HH:mm:ss")) : QString(),
                 s.destination,
                 DayReport::ProvinceName(s.province),
                 s.expressKind,
                 DayReport::PayWayName(s.payWay),
                 QString::number(s.pieces),
                 QString::number(s.weight, 'f', 3),
                 QString::number(s.fee, 'f', 2)};
    if (!s.uploaded)
        row.text = DayReportRows::kLocalColor;
    return row;
}

} // namespace

std::vector<RecordListModel::Row> DayReportRows::Rows(const DayReport &report)
{
    std::vector<RecordListModel::Row> rows;
    for (const DayReport::Shipment &s : report.Uploaded())
        rows.push_back(rowOf(s));
    for (const DayReport::Shipment &s : report.shipments())
        if (!s.uploaded)
            rows.push_back(rowOf(s));
    const DayReport::Tally &t = report.total();
    RecordListModel::Row totals;
    totals.id = 0;
    totals.cells = {QStringLiteral("合计"),
                    QStringLiteral("%1 票").arg(t.count),
                    QString(),
                    QString(),
                    QString(),
                    QString(),
                    QString(),
                    QString(),
                    QString::number(t.pieces),
                    QString::number(t.weight, 'f', 3),
                    QString::number(t.freight, 'f', 2)};
    rows.push_back(totals);
    return rows;
}

} // namespace quarvel
