#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl print ...:
//   waybill IID... [--template NAME]         the waybills of local records
//   server-waybill RID... [--template NAME]  the waybills of records on the server
//   invoice IID... [--save] [--template NAME] proforma invoices, printed or saved
//   labels IID... [--template NAME]           sheets of labels, one document a sheet
//   manifest [--date D] [--template NAME]     the hand-over manifest of a day
//   history [--json]                          the print ledger, newest first
//   again N [--copies N]                      printout N of the ledger printed again
// Each printed document's PDF (each saved invoice's workbook) is printed on
// a line of its own; a document that failed gives its message on standard
// error, and the command then ends with 1.
class PrintCommand {
public:
    static int run(Cli &cli, const QStringList &args);
};

} // namespace quarvel
