#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace quarvel {

// The account balance as the server reports it: up to seven lines after the
// status line, each one number ended by its line feed (a missing line reads
// as 0). A line cut before its line feed, or one that is not a whole number
// of its kind, makes the reply unreadable: a balance cut in the middle of a
// number must never be shown as if it were complete.
struct BalanceReply {
    double creditLimit = 0;
    double settlementBalance = 0;
    int unused = 0;
    double unsettledFirst = 0;
    int countFirst = 0;
    double unsettledSecond = 0;
    int countSecond = 0;

    // The balance of a reply whose status is above 0; nothing when the reply
    // does not hold the whole grammar.
    static std::optional<BalanceReply> parse(const QByteArray &reply);

    double unsettled() const { return unsettledFirst + unsettledSecond; }
    // Both parts' shipments, since the amount shown is both parts' sum too
    // (held to the int range).
    int unsettledCount() const;
    // The text shown and copied, stamped with the local time of the query.
    QString text(const QDateTime &localTime) const;
};

} // namespace quarvel
