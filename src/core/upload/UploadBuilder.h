#pragma once

#include "upload/ShipmentCopy.h"

#include <QByteArray>

namespace quarvel {

class BaseData;
class ServerSession;
struct CheckRecord;

// The envelopes of the two uploads: one stored-procedure call per record,
// its arguments the record's fields. Every text travels between single
// quotes with its quotes doubled; the names of goods and piece lines sit in a
// batch that is itself a quoted text, so theirs are doubled twice. Nothing
// else is escaped: the server takes BEL, line feeds and angle brackets inside
// a quoted text as they are.
class UploadBuilder {
public:
    // The placeholder the server replaces by the new shipment's id.
    static constexpr char kPlaceholder[] = "#1234567#";

    // Operation 0 for a shipment; empty when it cannot be sent: marked not
    // for upload, no destination, or an express kind the base data lacks.
    static QByteArray BuildRecordUpload(const ServerSession &session, const BaseData &baseData,
                                        const ShipmentCopy &shipment);
    // Operation 4 for a scan, with the session's station code; empty for a
    // version other than Chinese, English or both.
    static QByteArray BuildScanUpload(const ServerSession &session, const CheckRecord &scan);

    // The procedure call without the envelope (the goods batch's closing
    // quote and the brackets are the envelope's).
    static QByteArray recordCall(const ServerSession &session, const QByteArray &kindCode,
                                 const ShipmentCopy &shipment);
    static QByteArray scanCall(const ServerSession &session, const CheckRecord &scan);
    // The piece lines as one batch text (before its quotes are doubled for
    // the argument, which the format already does).
    static QByteArray weightBatch(const std::vector<WeightRecord> &pieces);
    static QByteArray goodsBatch(const std::vector<GoodsRecord> &goods, int uploadTarget);

    // A text argument: between single quotes, every quote doubled.
    static QByteArray quoted(const QByteArray &gbk);
    static QByteArray doubled(QByteArray gbk);
};

} // namespace quarvel
