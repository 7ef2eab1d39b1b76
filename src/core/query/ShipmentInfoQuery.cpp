#include "query/ShipmentInfoQuery.h"

#include "net/Envelope.h"
#include "net/ReplyText.h"

#include <vector>

namespace quarvel {

ShipmentInfoQuery::Result ShipmentInfoQuery::Fetch(const ServerSession &session, int recordId)
{
    Result r;
    std::vector<char> buffer(kReplySize);
    const int sent = Envelope::Post(session, Envelope::shipmentInfo(session, recordId), buffer);
    if (sent <= 0) {
        r.message = QStringLiteral("与服务器通讯失败。返回值：%1").arg(sent);
        return r;
    }
    r.answered = true;
    const QByteArray reply = ReplyText::cString(buffer.data(), sent);
    if (reply.size() < kLeastRecord) {
        r.message = QStringLiteral("查询失败。返回值：%1").arg(ReplyText::integer(reply));
        return r;
    }
    r.found = true;
    r.info = ShipmentInfo::Parse(reply);
    return r;
}

} // namespace quarvel
