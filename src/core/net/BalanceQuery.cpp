#include "net/BalanceQuery.h"

#include "app/Prompter.h"
#include "app/TextClipboard.h"
#include "net/BalanceReply.h"
#include "net/Envelope.h"
#include "net/EnvelopeStatus.h"
#include "net/ReplyText.h"

#include <vector>

namespace quarvel {

BalanceQuery::Result BalanceQuery::Fetch(const ServerSession &session, const QDateTime &localTime)
{
    std::vector<char> buffer(kReplySize);
    const int result = Envelope::Post(session, Envelope::balance(session), buffer);
    if (result <= 0)
        return {Outcome::NoConnection, QStringLiteral("通讯错误，查询失败。"), result};
    const QByteArray reply = ReplyText::cString(buffer.data(), result);
    const int status = EnvelopeStatus::read(reply);
    if (status <= 0)
        return {Outcome::Refused, EnvelopeStatus::text(status), status};
    const std::optional<BalanceReply> balance = BalanceReply::parse(reply);
    if (!balance)
        return {Outcome::Malformed, QStringLiteral("结算数据不完整，查询失败。"), status};
    return {Outcome::Shown, balance->text(localTime), status};
}

bool BalanceQuery::Run(const ServerSession &session, Prompter &prompter, TextClipboard &clipboard)
{
    const Result r = Fetch(session);
    if (r.outcome != Outcome::Shown) {
        prompter.error(QString(), r.text);
        return false;
    }
    prompter.inform(QString(), r.text);
    clipboard.setText(r.text);
    return true;
}

} // namespace quarvel
