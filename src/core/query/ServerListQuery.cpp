#include "query/ServerListQuery.h"

#include "app/Prompter.h"
#include "net/Envelope.h"
#include "net/ListReply.h"
#include "net/ReplyText.h"

#include <vector>

namespace quarvel {

namespace {

QByteArray listEnvelope(const ServerSession &session, ServerListKind kind, const QByteArray &condition, int page,
                        int total)
{
    switch (kind) {
    case ServerListKind::Records:
        return Envelope::recordList(session, page, total, condition);
    case ServerListKind::PreEntries:
        return Envelope::preInputList(session, page, total, condition);
    case ServerListKind::Settlements:
        break;
    }
    return Envelope::settlementList(session, page, total, condition);
}

} // namespace

void ServerListQuery::setCondition(const QByteArray &gbk)
{
    condition_ = gbk;
    current_.total = 0;
    current_.page = 1;
}

ServerListQuery::Result ServerListQuery::Fetch(const ServerSession &session, const BaseData &baseData,
                                               ServerListKind kind, const QByteArray &condition, int page, int total)
{
    Result r;
    std::vector<char> buffer(kReplySize);
    const int sent = Envelope::Post(session, listEnvelope(session, kind, condition, page, total), buffer);
    if (sent <= 0) {
        r.code = sent;
        r.message = QStringLiteral("与服务器通讯失败。返回值：%1").arg(sent);
        return r;
    }
    const ListReply reply = ListReply::parse(ReplyText::cString(buffer.data(), sent));
    r.code = reply.total;
    if (reply.total < 0) {
        r.outcome = Outcome::Refused;
        r.message = QStringLiteral("查询失败。返回值：%1").arg(reply.total);
        return r;
    }
    if (!reply.matched()) {
        r.outcome = Outcome::NothingFound;
        r.message = QStringLiteral("没有符合条件的记录。");
        return r;
    }
    r.outcome = Outcome::Shown;
    r.page = ListPage::Build(kind, reply, baseData);
    return r;
}

bool ServerListQuery::FetchPage(const ServerSession &session, const BaseData &baseData, int page, Prompter &prompter,
                                bool emptyIsResult)
{
    Result r = Fetch(session, baseData, kind_, condition_, page, current_.total);
    switch (r.outcome) {
    case Outcome::Shown:
        current_ = std::move(r.page);
        fetched_ = true;
        return true;
    case Outcome::NothingFound:
        if (emptyIsResult) {
            current_ = ListPage();
            fetched_ = true;
            return true;
        }
        prompter.warning(QString(), r.message);
        return false;
    case Outcome::NoConnection:
    case Outcome::Refused:
        break;
    }
    prompter.error(QString(), r.message);
    return false;
}

} // namespace quarvel
