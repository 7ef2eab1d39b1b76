#pragma once

#include "list/ListSnapshot.h"
#include "print/InvoiceSheet.h"
#include "print/PrintOutcome.h"
#include "print/SheetPrinter.h"

namespace quarvel {

class ClientContext;
class DayReport;
class PrintPreview;

// The outputs of one document at a time on the user-interface thread: the
// waybill of a local record, the waybill of a record on the server
// (operation 7) and the proforma invoice of a local record, each from the
// template chosen for its kind, with a preview before printing when one is
// given. A record that does not exist fails without a message.
class DocumentPrinter {
public:
    // A page number past the last page of any list a workbook can hold.
    static constexpr int kAllPages = 9999;

    explicit DocumentPrinter(ClientContext &context, PrintPreview *preview = nullptr);

    PrintOutcome PrintWaybill(int iid);
    PrintOutcome PrintServerWaybill(int recordId);
    PrintOutcome OutputInvoice(int iid, InvoiceSheet::Mode mode);
    // A page's list as a report, every page of it ("打印"), laid out as its
    // workbook export is.
    PrintOutcome PrintList(const ListSnapshot &list);
    // The hand-over manifest of the report's day, all its pages.
    PrintOutcome PrintManifest(const DayReport &report);

    // The engine, folders, destination and ledger of the context.
    static SheetPrinter::Setup SetupOf(ClientContext &context, PrintPreview *preview = nullptr);

private:
    ClientContext &context_;
    PrintPreview *preview_;
};

} // namespace quarvel
