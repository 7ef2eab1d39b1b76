#include "report/DayReport.h"

#include "app/ClientContext.h"
#include "preinput/PreInputValues.h"
#include "scan/CheckValues.h"
#include "storage/CheckRecord.h"
#include "storage/PreInputRecord.h"
#include "text/Gbk.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace quarvel {

namespace {

constexpr int kCashPayWay = 1;

DayReport::Shipment ofLedger(const UploadLedgerEntry &e)
{
    DayReport::Shipment s;
    s.uploaded = true;
    s.localId = e.localId;
    s.serverId = e.accepted.serverId;
    s.number = e.number;
    s.businessDate = e.businessDate;
    s.acceptedAt = e.accepted.at;
    s.account = e.accepted.account;
    s.destination = e.destination;
    s.province = e.province;
    s.expressKind = e.expressKind;
    s.itemType = e.itemType;
    s.payWay = e.payWay;
    s.pieces = e.pieces;
    s.weight = e.weight;
    s.fee = e.fee;
    return s;
}

// The day a scan's time names ("2026-12-08 10:30", "2026.12.8"): its first
// three numbers.
QDate scanDay(const QString &time)
{
    static const QRegularExpression numbers(QStringLiteral("(\\d+)\\D+(\\d+)\\D+(\\d+)"));
    const QRegularExpressionMatch m = numbers.match(time);
    return m.hasMatch() ? QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()) : QDate();
}

bool sameMoney(double a, double b)
{
    return std::fabs(a - b) < 0.005;
}

} // namespace

void DayReport::Tally::add(const Shipment &s)
{
    ++count;
    pieces += s.pieces;
    weight += s.weight;
    freight += s.fee;
}

QString DayReport::PayWayName(int payWay)
{
    const QStringList &names = PreInputValues::payWays();
    return payWay >= 0 && payWay < names.size() ? names[payWay] : QStringLiteral("付款%1").arg(payWay);
}

QString DayReport::ProvinceName(const QString &province)
{
    return province.trimmed().isEmpty() ? QStringLiteral("(未填)") : province.trimmed();
}

DayReport::Shipment DayReport::OfLocal(const PreInputRecord &r, const QString &reason)
{
    Shipment s;
    s.localId = r.iid;
    s.number = Gbk::field(r.cnum);
    s.businessDate = QDate(r.ddate.year, r.ddate.month, r.ddate.day);
    s.destination = Gbk::field(r.cdes);
    s.province = Gbk::field(r.creceiverprov).trimmed();
    s.expressKind = Gbk::field(r.cemskind);
    s.itemType = r.nitemtype;
    s.payWay = r.npayway;
    s.pieces = r.npieces;
    s.weight = r.fweight;
    s.fee = r.ffee;
    s.reason = reason.isEmpty() ? UnsentText() : reason;
    return s;
}

DayReport DayReport::Build(ClientContext &context, QDate day)
{
    std::vector<Shipment> local;
    const PreInputFile &shipments = context.preInputs();
    for (int i = 0; i < shipments.GetCount(); ++i) {
        const PreInputRecord *r = shipments.At(i);
        if (QDate(r->ddate.year, r->ddate.month, r->ddate.day) == day)
            local.push_back(OfLocal(*r, context.LastUploadReason(UploadKind::Shipments, r->iid)));
    }
    QList<Refusal> scanRefusals;
    const CheckFile &scans = context.checks();
    for (int i = 0; i < scans.GetCount(); ++i) {
        const CheckRecord *r = scans.At(i);
        const QString reason = context.LastUploadReason(UploadKind::Scans, r->iid);
        if (!reason.isEmpty() && scanDay(Gbk::field(r->cdate)) == day)
            scanRefusals.append({UploadKind::Scans, r->iid, Gbk::field(r->cnum), reason});
    }
    return From(day, context.uploadLedger().Read(day), local, scanRefusals);
}

DayReport DayReport::From(QDate day, const UploadLedger::Day &ledger, const std::vector<Shipment> &local,
                          const QList<Refusal> &scanRefusals)
{
    DayReport report;
    report.date_ = day;
    report.warnings_ = ledger.warnings;
    for (const UploadLedgerEntry &e : ledger.entries) {
        if (e.kind == UploadKind::Shipments)
            report.shipments_.push_back(ofLedger(e));
        else
            ++report.scans_[CheckValues::KindName(e.scanKind)];
    }
    for (const Shipment &s : local) {
        report.shipments_.push_back(s);
        if (s.reason != UnsentText())
            report.refusals_.append({UploadKind::Shipments, s.localId, s.number, s.reason});
    }
    report.refusals_ += scanRefusals;
    report.recount();
    return report;
}

void DayReport::addShipment(const Shipment &s)
{
    total_.add(s);
    (s.uploaded ? uploaded_ : local_).add(s);
    byPayWay_[PayWayName(s.payWay)].add(s);
    byKind_[s.expressKind.trimmed()].add(s);
    byProvince_[ProvinceName(s.province)].add(s);
    if (s.uploaded && s.acceptedAt.isValid())
        ++perHour_[static_cast<std::size_t>(s.acceptedAt.time().hour())];
}

void DayReport::recount()
{
    total_ = uploaded_ = local_ = Tally{};
    byPayWay_.clear();
    byKind_.clear();
    byProvince_.clear();
    perHour_.fill(0);
    for (const Shipment &s : shipments_)
        addShipment(s);
}

void DayReport::Reconcile(const QList<ServerRow> &rows)
{
    server_ = Server{};
    server_.checked = true;
    QHash<QString, const ServerRow *> onServer;
    for (const ServerRow &row : rows)
        onServer.insert(row.number.trimmed(), &row);
    server_.count = static_cast<int>(onServer.size());
    QSet<QString> sent;
    for (Shipment &s : shipments_) {
        if (!s.uploaded)
            continue;
        sent.insert(s.number.trimmed());
        const ServerRow *row = onServer.value(s.number.trimmed());
        if (!row) {
            server_.missingOnServer.append(s.number);
            continue;
        }
        if (row->amount > 0 && !sameMoney(row->amount, s.fee)) {
            s.fee = row->amount;
            s.pricedOnServer = true;
        }
    }
    for (const ServerRow &row : rows)
        if (!sent.contains(row.number.trimmed()) && !server_.unknownLocally.contains(row.number.trimmed()))
            server_.unknownLocally.append(row.number.trimmed());
    recount();
}

void DayReport::SetServerProblem(const QString &problem)
{
    server_ = Server{};
    server_.problem = problem;
}

QString DayReport::ReconciliationLine() const
{
    if (!server_.checked)
        return server_.problem.isEmpty() ? NeedsLoginText() : server_.problem;
    const qsizetype differences = server_.missingOnServer.size() + server_.unknownLocally.size();
    return QStringLiteral("服务器上有 %1 条，本机上传 %2 条，差异 %3")
        .arg(server_.count)
        .arg(uploaded_.count)
        .arg(differences);
}

std::vector<DayReport::Shipment> DayReport::Uploaded() const
{
    std::vector<Shipment> sent;
    std::copy_if(shipments_.begin(), shipments_.end(), std::back_inserter(sent),
                 [](const Shipment &s) { return s.uploaded; });
    std::stable_sort(sent.begin(), sent.end(),
                     [](const Shipment &a, const Shipment &b) { return a.acceptedAt < b.acceptedAt; });
    return sent;
}

double DayReport::CashToHandOver() const
{
    const auto cash = byPayWay_.find(PayWayName(kCashPayWay));
    return cash == byPayWay_.end() ? 0 : cash->second.freight;
}

} // namespace quarvel
