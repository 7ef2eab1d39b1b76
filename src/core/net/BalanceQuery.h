#pragma once

#include <QDateTime>
#include <QString>

namespace quarvel {

class Prompter;
class ServerSession;
class TextClipboard;

// The account balance ("查询业务结算情况"): one balance envelope, the reply
// turned into the summary text, shown and copied to the clipboard.
class BalanceQuery {
public:
    static constexpr int kReplySize = 1024;

    // Malformed: the status says there is a balance, but the reply does not
    // hold it whole (cut off, or lines that are not numbers).
    enum class Outcome { Shown, NoConnection, Refused, Malformed };
    struct Result {
        Outcome outcome = Outcome::NoConnection;
        // The summary, or the message of the failure.
        QString text;
        // The transport result or the reply status.
        int code = 0;
    };

    static Result Fetch(const ServerSession &session, const QDateTime &localTime = QDateTime::currentDateTime());
    // The menu command: shows the summary in an information box and copies
    // it, or shows why there is none. True when the summary was shown.
    static bool Run(const ServerSession &session, Prompter &prompter, TextClipboard &clipboard);
};

} // namespace quarvel
