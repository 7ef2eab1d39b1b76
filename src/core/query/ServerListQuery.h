#pragma once

#include "query/ListPage.h"

#include <QByteArray>
#include <QString>

namespace quarvel {

class BaseData;
class Prompter;
class ServerSession;

// One server list of a page: the condition of the last query, the total and
// page of the last reply, and the rows shown. A failed fetch keeps all of it.
class ServerListQuery {
public:
    static constexpr int kReplySize = 128000;

    enum class Outcome {
        Shown,        // the page's rows
        NoConnection, // "与服务器通讯失败。返回值：%d"
        Refused,      // "查询失败。返回值：%d"
        NothingFound, // "没有符合条件的记录。"
    };
    struct Result {
        Outcome outcome = Outcome::NoConnection;
        // The transport result or the reply status.
        int code = 0;
        QString message;
        ListPage page;
    };

    explicit ServerListQuery(ServerListKind kind) : kind_(kind) {}

    ServerListKind kind() const { return kind_; }
    // A new query: the next fetch sends a previous total of 0.
    void setCondition(const QByteArray &gbk);
    const QByteArray &condition() const { return condition_; }
    bool hasCondition() const { return !condition_.isEmpty(); }

    // One request for a page of a condition, sending `total` as the previous
    // total; changes nothing here.
    static Result Fetch(const ServerSession &session, const BaseData &baseData, ServerListKind kind,
                        const QByteArray &condition, int page, int total);
    // The page of this list's condition; on success its rows become the
    // current ones, otherwise the message is shown and everything stays.
    // With `emptyIsResult` (a list read again after its records were
    // deleted) a list with nothing left becomes empty without a message.
    bool FetchPage(const ServerSession &session, const BaseData &baseData, int page, Prompter &prompter,
                   bool emptyIsResult = false);

    const ListPage &current() const { return current_; }
    bool fetched() const { return fetched_; }
    QString Summary() const { return current_.Summary(kind_); }

private:
    ServerListKind kind_;
    QByteArray condition_;
    ListPage current_;
    bool fetched_ = false;
};

} // namespace quarvel
