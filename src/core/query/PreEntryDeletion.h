#pragma once

#include <QByteArray>
#include <QList>

namespace quarvel {

class Prompter;
class ServerSession;

// Deleting uploaded pre-entries that the server has not processed yet
// (operation 10): the question, then "DELETE tarvo.dbo.rec_pre_input WHERE
// iid IN(...)" with the selected server ids.
class PreEntryDeletion {
public:
    static constexpr int kReplySize = 4096;
    // Ids per request, so that one envelope stays well inside the 4400
    // bytes a request of this kind may have.
    static constexpr int kIdsPerRequest = 200;

    enum class Outcome {
        Nothing,      // no id given: "没有选择需要删除的记录。"
        Declined,     // the operator said no
        NoConnection, // "与服务器通讯失败。返回值：%d"
        Refused,      // "操作失败。返回值：%d"
        Deleted,
    };
    struct Result {
        Outcome outcome = Outcome::Nothing;
        // Pre-entries the server deleted (it deletes only its customer's own
        // unprocessed ones).
        int deleted = 0;
    };

    static QByteArray Statement(const QList<int> &ids);
    // Asks, then sends the ids in requests of at most kIdsPerRequest. A
    // failed request shows its message and ends the run.
    static Result Run(const ServerSession &session, const QList<int> &ids, Prompter &prompter);
};

} // namespace quarvel
