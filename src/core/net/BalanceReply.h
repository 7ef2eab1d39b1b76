#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace quarvel {

// The account balance as the server reports it: seven lines after the
// status line (a missing line reads as 0).
struct BalanceReply {
    double creditLimit = 0;
    double settlementBalance = 0;
    int unused = 0;
    double unsettledFirst = 0;
    int countFirst = 0;
    double unsettledSecond = 0;
    int countSecond = 0;

    static BalanceReply parse(const QByteArray &reply);

    double unsettled() const { return unsettledFirst + unsettledSecond; }
    // Both parts' shipments, since the amount shown is both parts' sum too.
    int unsettledCount() const { return countFirst + countSecond; }
    // The text shown and copied, stamped with the local time of the query.
    QString text(const QDateTime &localTime) const;
};

} // namespace quarvel
