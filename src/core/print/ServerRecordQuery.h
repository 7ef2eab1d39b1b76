#pragma once

#include "net/HttpTimeouts.h"
#include "print/ServerRecord.h"

#include <QString>

namespace quarvel {

class ServerSession;

// Operation 7: one shipment of the customer fetched from the server by its
// record id, for printing its waybill. Safe to call from a printing worker:
// it only reads the session.
class ServerRecordQuery {
public:
    static constexpr int kReplySize = 16000;

    enum class Outcome { Found, NoConnection, Refused, NotFound };
    struct Result {
        Outcome outcome = Outcome::NotFound;
        // The message for anything but Found.
        QString message;
        ServerRecord record;
    };

    static Result Fetch(const ServerSession &session, int recordId);
    // The same with an envelope built beforehand (a worker reads no session).
    static Result Fetch(const QByteArray &host, const QByteArray &envelope, const HttpTimeouts &timeouts);
    // The reply's meaning: status, line feed and fields.
    static Result Read(const QByteArray &reply);
};

} // namespace quarvel
