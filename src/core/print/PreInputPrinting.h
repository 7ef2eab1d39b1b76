#pragma once

#include "preinput/PrintSelection.h"
#include "print/InvoiceSheet.h"

#include <QList>
#include <QString>

namespace quarvel {

class ClientContext;
class Prompter;

// The print commands of the pre-entry page without the window: which
// selected records "打印标签(&L)", "打印面单(&T)", "打印形式发票(&P)" and
// "输出形式发票到文件(&F)" take, with their refusals and the question before a
// batch. The record check page prints the waybills of server records by the
// same plan.
class PreInputPrinting {
public:
    // The records to print; batch when there are several (they go to the
    // printing worker after the operator said Yes).
    struct Plan {
        QList<int> ids;
        bool batch = false;
    };

    PreInputPrinting(ClientContext &context, Prompter &prompter) : context_(context), prompter_(prompter) {}

    // Provisional and short waybill numbers keep a selection from printing.
    Plan PlanWaybills(const QList<PrintSelection::Row> &selected);
    // Server records carry final numbers: only the template and the
    // selection are checked. A list without rows prints nothing, silently.
    Plan PlanServerWaybills(const QList<int> &recordIds, int listRows);
    // Labels always go to the printing worker, a sheet at a time, after the
    // question that tells how many sheets the selection fills.
    Plan PlanLabels(const QList<PrintSelection::Row> &selected);
    Plan PlanInvoices(const QList<int> &selected, InvoiceSheet::Mode mode);
    // After invoices were saved to files: how many and where.
    static QString SavedInvoicesText(int count, const QString &tempFolder);

private:
    Plan askWaybillBatch(const QList<int> &ids, const QString &templateName);

    ClientContext &context_;
    Prompter &prompter_;
};

} // namespace quarvel
