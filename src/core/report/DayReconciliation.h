#pragma once

#include "report/DayReport.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <atomic>

namespace quarvel {

class BaseData;
class ServerSession;

// What the server holds of one counter day: every page of the customer's
// records entered that day (the record list for accounts that upload
// shipments, the pre-entry list for the others), as the rows the day's
// report compares with its ledger. Runs on a worker; it only reads the
// session and the base data.
class DayReconciliation {
public:
    struct Result {
        bool complete = false;
        // Why it did not complete.
        QString message;
        QList<DayReport::ServerRow> rows;
    };

    // The condition of the records the server entered on that day.
    static QString Condition(int clientId, int uploadTarget, QDate day);
    static Result Fetch(const ServerSession &session, const BaseData &baseData, QDate day,
                        const std::atomic<bool> &stop);
    // Fetches when logged in and applies the result (or why there is none).
    static void Apply(DayReport &report, const ServerSession &session, const BaseData &baseData);
};

} // namespace quarvel
