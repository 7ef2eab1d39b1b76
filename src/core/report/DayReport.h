#pragma once

#include "upload/UploadKind.h"
#include "upload/UploadLedger.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <map>
#include <vector>

namespace quarvel {

class ClientContext;
struct CheckRecord;
struct PreInputRecord;

// The close of one counter day: the shipments the server accepted that day
// (the upload ledger) and those keyed for that day that are still on the
// counter (with the reason of their last upload, if any), their totals as a
// whole and by pay way, express kind and destination province, the scans
// accepted per kind, the uploads refused, and how the day compares with
// what the server holds. Computed here, shown by the window and the
// command line alike.
class DayReport {
public:
    struct Shipment {
        bool uploaded = false;
        int localId = 0;
        int serverId = 0;
        QString number;
        QDate businessDate;
        QDateTime acceptedAt;
        QString account;
        QString destination;
        QString province;
        QString expressKind;
        int itemType = 0;
        int payWay = 0;
        int pieces = 0;
        double weight = 0;
        double fee = 0;
        // Still local: why it stayed (its last upload's reason, or "未上传").
        QString reason;
        // The server holds a freight for it other than the one it was sent with.
        bool pricedOnServer = false;
    };
    struct Tally {
        int count = 0;
        qint64 pieces = 0;
        double weight = 0;
        double freight = 0;
        void add(const Shipment &s);
    };
    struct Refusal {
        UploadKind kind = UploadKind::Shipments;
        int localId = 0;
        QString number;
        QString reason;
    };
    // A shipment as the server's list shows it.
    struct ServerRow {
        int serverId = 0;
        QString number;
        // Negative when the list carries no amount (the pre-entry list).
        double amount = -1;
    };
    struct Server {
        bool checked = false;
        // Why there is no comparison (no login, no answer).
        QString problem;
        int count = 0;
        QStringList missingOnServer;
        QStringList unknownLocally;
    };

    static QString UnsentText() { return QStringLiteral("未上传"); }
    static QString NeedsLoginText() { return QStringLiteral("与服务器核对需要先登入服务器。"); }

    // The day as the context's ledger and record files hold it now.
    static DayReport Build(ClientContext &context, QDate day);
    // From what was read: the ledger's day and the day's local records with
    // their reasons (empty when never refused).
    static DayReport From(QDate day, const UploadLedger::Day &ledger, const std::vector<Shipment> &local,
                          const QList<Refusal> &scanRefusals);
    static Shipment OfLocal(const PreInputRecord &r, const QString &reason);

    // Compares the day's uploads with the server's rows number by number;
    // a freight the server holds for an uploaded shipment replaces the one
    // it was sent with (priced after upload).
    void Reconcile(const QList<ServerRow> &rows);
    void SetServerProblem(const QString &problem);
    // "服务器上有 N 条，本机上传 N 条，差异 N", or why there is none.
    QString ReconciliationLine() const;

    QDate date() const { return date_; }
    const std::vector<Shipment> &shipments() const { return shipments_; }
    // The uploaded shipments in the order of acceptance: what leaves with the van.
    std::vector<Shipment> Uploaded() const;
    const Tally &total() const { return total_; }
    const Tally &uploaded() const { return uploaded_; }
    const Tally &local() const { return local_; }
    const std::map<QString, Tally> &byPayWay() const { return byPayWay_; }
    const std::map<QString, Tally> &byKind() const { return byKind_; }
    const std::map<QString, Tally> &byProvince() const { return byProvince_; }
    const std::map<QString, int> &scans() const { return scans_; }
    // Shipments accepted per hour of the day.
    const std::array<int, 24> &perHour() const { return perHour_; }
    const QList<Refusal> &refusals() const { return refusals_; }
    const QStringList &warnings() const { return warnings_; }
    const Server &server() const { return server_; }
    // The cash of 现付 shipments to hand over.
    double CashToHandOver() const;

    static QString PayWayName(int payWay);
    static QString ProvinceName(const QString &province);

private:
    void addShipment(const Shipment &s);
    void recount();

    QDate date_;
    std::vector<Shipment> shipments_;
    Tally total_;
    Tally uploaded_;
    Tally local_;
    std::map<QString, Tally> byPayWay_;
    std::map<QString, Tally> byKind_;
    std::map<QString, Tally> byProvince_;
    std::map<QString, int> scans_;
    std::array<int, 24> perHour_{};
    QList<Refusal> refusals_;
    QStringList warnings_;
    Server server_;
};

} // namespace quarvel
