#pragma once

#include "query/ShipmentInfo.h"

#include <QString>

namespace quarvel {

class ServerSession;

// Fetches one shipment's full server record for the information page
// (operation 2, ID = the record id).
class ShipmentInfoQuery {
public:
    static constexpr int kReplySize = 16000;
    // A tagged record is never shorter; a shorter reply is a status.
    static constexpr int kLeastRecord = 100;

    struct Result {
        bool found = false;
        // False when no reply came (the message then names the transport result).
        bool answered = false;
        // "与服务器通讯失败。返回值：%d" or "查询失败。返回值：%d".
        QString message;
        ShipmentInfo info;
    };

    static Result Fetch(const ServerSession &session, int recordId);
};

} // namespace quarvel
