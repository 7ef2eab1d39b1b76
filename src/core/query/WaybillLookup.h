#pragma once

#include <QString>

namespace quarvel {

class BaseData;
class ServerSession;

// Whether the server holds a waybill number of the session's customer: as a
// shipment record (upload target 1) or as an uploaded pre-entry (any other
// target), processed or not. It asks the record list or the pre-entry list
// for records whose number contains it and compares each number found.
class WaybillLookup {
public:
    enum class Presence {
        Held,
        Absent,
        Unknown, // no answer, or a refusal: `code` says which
    };
    struct Result {
        Presence presence = Presence::Unknown;
        // The server's record id (irid or iid) when held; else the
        // transport result or the reply status.
        int code = 0;
    };

    // The condition text (GBK bytes come from it) of the look-up.
    static QString Condition(int clientId, int uploadTarget, const QString &waybill);
    // The condition of rows whose number is exactly this one.
    static QString ExactCondition(int clientId, int uploadTarget, const QString &waybill);
    static Result Find(const ServerSession &session, const BaseData &baseData, const QString &waybill);
};

} // namespace quarvel
