#include "print/DocumentPrinter.h"

#include "app/ClientContext.h"
#include "excel/ListExcelExport.h"
#include "print/FieldValues.h"
#include "print/InvoiceSource.h"
#include "print/ManifestSheet.h"
#include "print/ServerRecordQuery.h"
#include "print/WaybillSheet.h"

#include <QDate>
#include <QDateTime>

namespace quarvel {

DocumentPrinter::DocumentPrinter(ClientContext &context, PrintPreview *preview) : context_(context), preview_(preview)
{
}

SheetPrinter::Setup DocumentPrinter::SetupOf(ClientContext &context, PrintPreview *preview)
{
    return {context.spreadsheetEngine(), context.tempFolder(), PrintDestination::Load(context.root()),
            &context.printLedger(), preview};
}

PrintOutcome DocumentPrinter::PrintWaybill(int iid)
{
    const PrintTemplate *waybill = context_.templates().slot(TemplateKind::Waybill);
    if (!waybill)
        return PrintOutcome::Failure(TemplateKinds::MissingText(TemplateKind::Waybill));
    const PreInputRecord *record = iid > 0 ? context_.preInputs().Find(iid) : nullptr;
    if (!record)
        return PrintOutcome::Failure(QString());
    const FieldValues values = FieldValues::FromRecord(*record, context_.session().account(), context_.baseData());
    return WaybillSheet::Print(SetupOf(context_, preview_), *waybill, values);
}

PrintOutcome DocumentPrinter::PrintServerWaybill(int recordId)
{
    const PrintTemplate *waybill = context_.templates().slot(TemplateKind::Waybill);
    if (!waybill)
        return PrintOutcome::Failure(TemplateKinds::MissingText(TemplateKind::Waybill));
    const ServerRecordQuery::Result fetched = ServerRecordQuery::Fetch(context_.session(), recordId);
    if (fetched.outcome != ServerRecordQuery::Outcome::Found)
        return PrintOutcome::Failure(fetched.message);
    const FieldValues values =
        FieldValues::FromServer(fetched.record, context_.session().account(), context_.baseData());
    return WaybillSheet::Print(SetupOf(context_, preview_), *waybill, values);
}

PrintOutcome DocumentPrinter::OutputInvoice(int iid, InvoiceSheet::Mode mode)
{
    const PrintTemplate *invoice = context_.templates().slot(TemplateKind::Invoice);
    const InvoiceLayout &layout = context_.templates().invoiceLayout();
    if (!invoice || !layout.valid())
        return PrintOutcome::Failure(TemplateKinds::MissingText(TemplateKind::Invoice));
    InvoiceSource source;
    if (!InvoiceSource::Take(context_.preInputs(), context_.goods(), iid, source))
        return PrintOutcome::Failure(QString());
    const InvoiceSheet::Inputs inputs{*invoice, layout, context_.goodsNames(), QDate::currentDate()};
    return InvoiceSheet::Output(SetupOf(context_, mode == InvoiceSheet::Mode::Print ? preview_ : nullptr), inputs,
                                source, mode);
}

PrintOutcome DocumentPrinter::PrintList(const ListSnapshot &list)
{
    if (const QString refusal = ListExcelExport::Refusal(list); !refusal.isEmpty())
        return PrintOutcome::Failure(refusal);
    SheetPrinter::Document document;
    document.sheetName = QStringLiteral("LIST");
    document.workPath = SheetPrinter::WorkPath(context_.tempFolder(), QStringLiteral("LIST"));
    document.title = list.title;
    document.kind = QStringLiteral("列表");
    document.lastPage = kAllPages;
    const QDateTime startedAt = QDateTime::currentDateTime();
    return SheetPrinter(SetupOf(context_, preview_)).Run(document, [&](ExcelSession &session) {
        ListExcelExport::Fill(session, list, startedAt);
    });
}

PrintOutcome DocumentPrinter::PrintManifest(const DayReport &report)
{
    const PrintTemplate *manifest = context_.templates().slot(TemplateKind::Manifest);
    if (!manifest)
        return PrintOutcome::Failure(TemplateKinds::MissingText(TemplateKind::Manifest));
    QString account = context_.session().account();
    // Printed without a login: the account the day's shipments went under.
    if (const std::vector<DayReport::Shipment> sent = report.Uploaded(); account.isEmpty() && !sent.empty())
        account = sent.back().account;
    const ManifestSheet::Inputs inputs{*manifest, report, account, QDateTime::currentDateTime()};
    return ManifestSheet::Print(SetupOf(context_, preview_), inputs);
}

} // namespace quarvel
