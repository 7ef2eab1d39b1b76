#pragma once

#include <QByteArray>
#include <QList>

namespace quarvel {

class BaseData;
class ServerSession;
struct PreInputRecord;

// Whether the server holds a shipment an earlier send may have stored: the
// customer's record list (upload target 1) or pre-entry list (any other
// target) asked for the waybill number, and the row found compared with
// what the counter sends. Built on the user-interface thread; the worker
// posts the envelope and judges the reply, touching nothing else.
class DoubtLookup {
public:
    enum class Verdict {
        Held,    // a row of this customer holds the shipment as sent
        NotHeld, // no such row: the number belongs to another record
        Unknown, // no readable answer: nothing is learnt
    };
    struct Result {
        Verdict verdict = Verdict::Unknown;
        // The server's id of the row (irid or iid) when held.
        int serverId = 0;
    };

    DoubtLookup() = default;
    // Nothing to look up when the record cannot be uploaded (no express kind
    // of that name in the base data).
    static DoubtLookup For(const ServerSession &session, const BaseData &baseData, const PreInputRecord &sent);

    bool empty() const { return envelope_.isEmpty(); }
    const QByteArray &envelope() const { return envelope_; }
    Result Judge(const QByteArray &reply) const;

private:
    bool matches(const QList<QByteArray> &fields) const;

    QByteArray envelope_;
    bool recordList_ = true;
    QByteArray number_;
    int year_ = 0;
    int month_ = 0;
    int day_ = 0;
    QByteArray destination_;
    QByteArray kindCode_;
    int itemType_ = 0;
    QByteArray weight_;
};

} // namespace quarvel
