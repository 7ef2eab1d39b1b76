#pragma once

#include <QByteArray>

#include <span>

namespace quarvel {

class ServerSession;

// The transaction envelope: tagged header fields filled from the session, the
// operation's payload, BEL, "</DATA>" and a line feed (and one more BEL for
// the freight and quotation requests), posted to KVTrans. Nothing inside is
// escaped; the payloads carry their own SQL quoting.
class Envelope {
public:
    enum Operation {
        RecordUpload = 0,
        RecordList = 1,
        ShipmentInfo = 2,
        Freight = 3,
        ScanUpload = 4,
        Balance = 5,
        SettlementList = 6,
        WaybillPrint = 7,
        PreInputList = 8,
        PriceQuote = 9,
        DeletePreInputs = 10,
    };

    static QByteArray path() { return QByteArrayLiteral("/cgi-bin/VEdiz.dll?KVTrans"); }

    // "<WER>1</WER><WCID>..</WCID><AC>..</AC><OP>..</OP><ID>..</ID>
    // <NUMBER>..</NUMBER><LCID>..</LCID><RAND>..</RAND><DATA>"
    static QByteArray header(const ServerSession &session, int operation, int id, int number);

    // Upload of one pre-entry record: the stored-procedure call up to its
    // last argument's text; the envelope closes its quote and brackets.
    static QByteArray recordUpload(const ServerSession &session, int iid, const QByteArray &call);
    // Upload of one checkpoint scan: the call up to its last argument.
    static QByteArray scanUpload(const ServerSession &session, int iid, const QByteArray &call);
    // A page of a list query; `total` is the count of the previous reply (0 first).
    static QByteArray recordList(const ServerSession &session, int page, int total, const QByteArray &condition);
    static QByteArray settlementList(const ServerSession &session, int page, int total, const QByteArray &condition);
    static QByteArray preInputList(const ServerSession &session, int page, int total, const QByteArray &condition);
    static QByteArray shipmentInfo(const ServerSession &session, int recordId);
    static QByteArray freight(const ServerSession &session, int itemType, int grams, const QByteArray &destination,
                              const QByteArray &kindCode);
    static QByteArray balance(const ServerSession &session);
    static QByteArray waybillPrint(const ServerSession &session, int recordId);
    static QByteArray priceQuote(const ServerSession &session, int itemType, int grams, const QByteArray &destination);
    static QByteArray deletePreInputs(const ServerSession &session, int count, const QByteArray &statement);

    // Weight for the freight and quotation requests: kilograms × 1000 plus
    // 0.1 (minus 0.1 below 0.01), truncated.
    static int WeightGrams(double kilograms);

    // Posts an envelope to the session's current server.
    static int Post(const ServerSession &session, const QByteArray &envelope, std::span<char> reply);

private:
    static QByteArray closed(const QByteArray &head, const QByteArray &payload);
};

} // namespace quarvel
