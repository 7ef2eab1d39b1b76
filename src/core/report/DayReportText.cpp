#include "report/DayReportText.h"

#include <QJsonArray>

namespace quarvel {

namespace {

// Money and weight as the lists print them, so that sums add up on paper.
double rounded(double value, int decimals)
{
    return QString::number(value, 'f', decimals).toDouble();
}

QJsonObject tallyJson(const DayReport::Tally &t, bool withWeight)
{
    QJsonObject o{{QStringLiteral("count"), t.count}, {QStringLiteral("freight"), rounded(t.freight, 2)}};
    if (withWeight) {
        o.insert(QStringLiteral("weight_kg"), rounded(t.weight, 3));
        o.insert(QStringLiteral("pieces"), t.pieces);
    }
    return o;
}

QJsonObject byName(const std::map<QString, DayReport::Tally> &tallies, bool withWeight)
{
    QJsonObject o;
    for (const auto &[name, t] : tallies)
        o.insert(name, tallyJson(t, withWeight));
    return o;
}

QJsonArray shipmentsJson(const DayReport &r)
{
    QJsonArray a;
    for (const DayReport::Shipment &s : r.shipments()) {
        QJsonObject o{{QStringLiteral("number"), s.number},
                      {QStringLiteral("uploaded"), s.uploaded},
                      {QStringLiteral("destination"), s.destination},
                      {QStringLiteral("kind"), s.expressKind},
                      {QStringLiteral("payway"), DayReport::PayWayName(s.payWay)},
                      {QStringLiteral("pieces"), s.pieces},
                      {QStringLiteral("weight_kg"), rounded(s.weight, 3)},
                      {QStringLiteral("freight"), rounded(s.fee, 2)}};
        if (s.uploaded)
            o.insert(QStringLiteral("accepted_at"), s.acceptedAt.toString(Qt::ISODate));
        else
            o.insert(QStringLiteral("reason"), s.reason);
        a.append(o);
    }
    return a;
}

QJsonObject serverJson(const DayReport::Server &server)
{
    return {{QStringLiteral("count"), server.count},
            {QStringLiteral("missing_on_server"), QJsonArray::fromStringList(server.missingOnServer)},
            {QStringLiteral("unknown_locally"), QJsonArray::fromStringList(server.unknownLocally)}};
}

QJsonArray refusalsJson(const DayReport &r)
{
    QJsonArray a;
    for (const DayReport::Refusal &f : r.refusals())
        a.append(QJsonObject{{QStringLiteral("kind"),
                              f.kind == UploadKind::Shipments ? QStringLiteral("shipment") : QStringLiteral("scan")},
                             {QStringLiteral("number"), f.number},
                             {QStringLiteral("reason"), f.reason}});
    return a;
}

} // namespace

QJsonObject DayReportText::Json(const DayReport &r)
{
    QJsonObject scans;
    for (const auto &[name, count] : r.scans())
        scans.insert(name, count);
    QJsonObject o{{QStringLiteral("date"), r.date().toString(Qt::ISODate)},
                  {QStringLiteral("shipments"), r.total().count},
                  {QStringLiteral("pieces"), r.total().pieces},
                  {QStringLiteral("weight_kg"), rounded(r.total().weight, 3)},
                  {QStringLiteral("freight"), rounded(r.total().freight, 2)},
                  {QStringLiteral("cash"), rounded(r.CashToHandOver(), 2)},
                  {QStringLiteral("uploaded"), r.uploaded().count},
                  {QStringLiteral("local"), r.local().count},
                  {QStringLiteral("by_payway"), byName(r.byPayWay(), false)},
                  {QStringLiteral("by_kind"), byName(r.byKind(), true)},
                  {QStringLiteral("by_province"), byName(r.byProvince(), true)},
                  {QStringLiteral("scans"), scans},
                  {QStringLiteral("refused"), refusalsJson(r)},
                  {QStringLiteral("list"), shipmentsJson(r)},
                  {QStringLiteral("warnings"), QJsonArray::fromStringList(r.warnings())},
                  {QStringLiteral("reconciliation"), r.ReconciliationLine()}};
    if (r.server().checked)
        o.insert(QStringLiteral("server"), serverJson(r.server()));
    return o;
}

QString DayReportText::TallyText(const DayReport::Tally &t)
{
    return QStringLiteral("%1票 %2件 %3公斤 运费 %4元")
        .arg(t.count)
        .arg(t.pieces)
        .arg(t.weight, 0, 'f', 3)
        .arg(t.freight, 0, 'f', 2);
}

QStringList DayReportText::Lines(const DayReport &r)
{
    QStringList lines{QStringLiteral("日结 %1").arg(r.date().toString(Qt::ISODate)),
                      QStringLiteral("合计: %1").arg(TallyText(r.total())),
                      QStringLiteral("已上传: %1").arg(TallyText(r.uploaded())),
                      QStringLiteral("未上传: %1").arg(TallyText(r.local())),
                      QStringLiteral("现付应交现金: %1元").arg(r.CashToHandOver(), 0, 'f', 2)};
    const std::pair<QString, const std::map<QString, DayReport::Tally> *> groups[] = {
        {QStringLiteral("付款"), &r.byPayWay()},
        {QStringLiteral("快递类别"), &r.byKind()},
        {QStringLiteral("省份"), &r.byProvince()}};
    for (const auto &[title, tallies] : groups)
        for (const auto &[name, t] : *tallies)
            lines.append(QStringLiteral("%1 %2: %3").arg(title, name, TallyText(t)));
    for (const auto &[name, count] : r.scans())
        lines.append(QStringLiteral("扫描 %1: %2").arg(name).arg(count));
    for (const DayReport::Refusal &f : r.refusals())
        lines.append(QStringLiteral("未上传 %1: %2").arg(f.number, f.reason));
    lines.append(r.ReconciliationLine());
    for (const QString &n : r.server().missingOnServer)
        lines.append(QStringLiteral("服务器上没有: %1").arg(n));
    for (const QString &n : r.server().unknownLocally)
        lines.append(QStringLiteral("本机没有上传记录: %1").arg(n));
    return lines;
}

} // namespace quarvel
