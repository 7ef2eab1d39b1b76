#pragma once

#include "upload/UploadKind.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

namespace quarvel {

struct CheckRecord;
struct PreInputRecord;

// What the counter remembers of one record the server accepted: enough for
// the day's report and the hand-over manifest once the record itself is
// deleted. A line of the upload ledger, tab-separated, ending in a check of
// the line's own bytes so that a line a kill cut short or a disk damaged is
// told from a whole one.
struct UploadLedgerEntry {
    // Who accepted what, when.
    struct Acceptance {
        QDateTime at;
        int serverId = 0;
        QString account;
    };

    UploadKind kind = UploadKind::Shipments;
    int localId = 0;
    quint64 digest = 0;
    Acceptance accepted;
    QString number;
    // Shipments.
    QDate businessDate;
    QString destination;
    QString province;
    QString expressKind;
    int itemType = 0;
    int payWay = 0;
    int pieces = 0;
    double weight = 0;
    double fee = 0;
    // Scans: the event (0 到站 ... 4 异常) and the time the scan carries.
    int scanKind = 0;
    QString scanTime;

    static UploadLedgerEntry OfShipment(const PreInputRecord &sent, quint64 digest, const Acceptance &accepted);
    static UploadLedgerEntry OfScan(const CheckRecord &sent, quint64 digest, const Acceptance &accepted);

    // One line with its check and the line feed.
    QByteArray Line() const;
    // Nothing when the line is not whole: a wrong check, a field missing or
    // not of its kind.
    static std::optional<UploadLedgerEntry> Parse(const QByteArray &line);
    // The local record under its number: a second line with the same key is
    // the same acceptance written again.
    QString RecordKey() const;
};

} // namespace quarvel
