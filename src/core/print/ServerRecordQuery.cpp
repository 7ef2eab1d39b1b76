#include "print/ServerRecordQuery.h"

#include "net/Envelope.h"
#include "net/HttpTransport.h"
#include "net/ReplyText.h"
#include "net/ServerSession.h"

#include <vector>

namespace quarvel {

ServerRecordQuery::Result ServerRecordQuery::Fetch(const ServerSession &session, int recordId)
{
    return Fetch(session.CurrentServerHost(), Envelope::waybillPrint(session, recordId), session.timeouts());
}

ServerRecordQuery::Result ServerRecordQuery::Fetch(const QByteArray &host, const QByteArray &envelope,
                                                   const HttpTimeouts &timeouts)
{
    std::vector<char> buffer(kReplySize);
    const int result = HttpPost(host, Envelope::path(), envelope, buffer, timeouts);
    if (result <= 0)
        return {Outcome::NoConnection, QStringLiteral("与服务器通讯失败。返回值：%1").arg(result), {}};
    return Read(ReplyText::cString(buffer.data(), result));
}

ServerRecordQuery::Result ServerRecordQuery::Read(const QByteArray &reply)
{
    const int status = ReplyText::integer(reply);
    if (status < 0)
        return {Outcome::Refused, QStringLiteral("查询失败。返回值：%1").arg(status), {}};
    const qsizetype lineFeed = ReplyText::find(reply, '\n');
    const qsizetype firstBel = lineFeed < 0 ? -1 : ReplyText::find(reply, ReplyText::kBel, lineFeed);
    const qsizetype secondBel = firstBel < 0 ? -1 : ReplyText::find(reply, ReplyText::kBel, firstBel + 1);
    const ServerRecord record = secondBel < 0 ? ServerRecord() : ServerRecord::Parse(reply.mid(lineFeed + 1));
    if (status == 0 || secondBel < 0 || record.fieldCount() == 0)
        return {Outcome::NotFound, QStringLiteral("没有符合条件的记录。"), {}};
    return {Outcome::Found, QString(), record};
}

} // namespace quarvel
