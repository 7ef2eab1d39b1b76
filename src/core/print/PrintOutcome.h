#pragma once

#include <QString>

namespace quarvel {

// How one document came out: printed (its PDF handed to the destination),
// saved (a kept workbook), failed with the message for the operator,
// dropped by the operator after the preview, or skipped because its record
// was gone when its turn came.
struct PrintOutcome {
    enum class Status { Printed, Saved, Failed, Cancelled, Skipped };

    Status status = Status::Failed;
    // Why it failed; for a printout, what went wrong around it all the same
    // (the print ledger could not record it), which the operator must be told.
    QString message;
    // The PDF as the destination has it (printed), or the kept workbook (saved).
    QString file;
    // The print ledger's number of the printout; 0 when none was recorded.
    int ledgerNumber = 0;

    bool ok() const { return status == Status::Printed || status == Status::Saved; }
    // Printed, but the print ledger could not record it.
    bool notRecorded() const { return status == Status::Printed && !message.isEmpty(); }
    static PrintOutcome Failure(const QString &message) { return {Status::Failed, message, QString(), 0}; }
};

} // namespace quarvel
