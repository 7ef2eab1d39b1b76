#include "print/PrintBatch.h"

#include "app/ClientContext.h"
#include "excel/ExcelSession.h"
#include "excel/SpreadsheetEngine.h"
#include "net/Envelope.h"
#include "print/DocumentPrinter.h"
#include "print/LabelSheet.h"
#include "print/ServerRecordQuery.h"
#include "print/WaybillSheet.h"
#include "text/Gbk.h"

#include <QDate>

namespace quarvel {

namespace {

class SilentDisplay : public PrintBatch::Display {
public:
    void documentDone(const PrintBatch::Report &) override {}
    void batchEnded(const PrintBatch::Ending &) override {}
};

} // namespace

PrintBatch::PrintBatch(ClientContext &context)
    : context_(context), setup_(DocumentPrinter::SetupOf(context)), dictionary_(context.goodsNames()),
      account_(context.session().account()), host_(context.session().CurrentServerHost()),
      timeouts_(context.session().timeouts())
{
}

PrintBatch::~PrintBatch()
{
    if (!started_ || ended_)
        return;
    continue_ = false;
    if (thread_.joinable())
        thread_.join();
    SilentDisplay silent;
    Drain(silent);
}

bool PrintBatch::takeWaybillTemplate(QString *message)
{
    const PrintTemplate *waybill = context_.templates().slot(TemplateKind::Waybill);
    if (!waybill) {
        if (message)
            *message = TemplateKinds::MissingText(TemplateKind::Waybill);
        return false;
    }
    if (!waybillTemplate_)
        waybillTemplate_ = *waybill;
    return true;
}

bool PrintBatch::AddWaybills(const QList<int> &ids, QString *message)
{
    if (!takeWaybillTemplate(message))
        return false;
    for (int id : ids)
        if (const PreInputRecord *r = id > 0 ? context_.preInputs().Find(id) : nullptr) {
            FieldValues values = FieldValues::FromRecord(*r, account_, context_.baseData());
            items_.push_back({Kind::Waybill, id, values.number(), values, {}, {}, {}, {}});
        }
    return true;
}

bool PrintBatch::AddServerWaybills(const QList<int> &recordIds, QString *message)
{
    if (!takeWaybillTemplate(message))
        return false;
    baseData_ = context_.baseData();
    for (int id : recordIds)
        items_.push_back(
            {Kind::ServerWaybill, id, QString(), {}, {}, Envelope::waybillPrint(context_.session(), id), {}, {}});
    return true;
}

bool PrintBatch::AddInvoices(const QList<int> &ids, InvoiceSheet::Mode mode, QString *message)
{
    const PrintTemplate *invoice = context_.templates().slot(TemplateKind::Invoice);
    if (!invoice || !context_.templates().invoiceLayout().valid()) {
        if (message)
            *message = TemplateKinds::MissingText(TemplateKind::Invoice);
        return false;
    }
    invoiceTemplate_ = *invoice;
    invoiceLayout_ = context_.templates().invoiceLayout();
    for (int id : ids) {
        Item item{Kind::Invoice, id, QString(), {}, {}, {}, mode, {}};
        if (InvoiceSource::Take(context_.preInputs(), context_.goods(), id, item.invoice)) {
            item.waybill = Gbk::field(item.invoice.record.cnum);
            items_.push_back(std::move(item));
        }
    }
    return true;
}

bool PrintBatch::AddLabelSheets(const QList<int> &ids, QString *message)
{
    const LabelSheetLayout &layout = context_.templates().labelLayout();
    if (!layout.IsValid()) {
        if (message)
            *message = TemplateKinds::MissingText(TemplateKind::Label);
        return false;
    }
    labelLayout_ = layout;
    const LabelFields::Options options = LabelFields::Options::Of(*layout.labelTemplate());
    QList<LabelFields> labels;
    QList<int> found;
    for (int id : ids)
        if (const PreInputRecord *r = id > 0 ? context_.preInputs().Find(id) : nullptr) {
            labels.append(LabelFields::FromRecord(*r, options, account_, context_.baseData()));
            found.append(id);
        }
    const int perSheet = layout.LabelsPerSheet();
    qsizetype first = 0;
    for (const QList<LabelFields> &sheet : LabelSheet::Sheets(labels, perSheet)) {
        items_.push_back({Kind::LabelSheet, found[first], LabelSheet::Title(sheet), {}, {}, {}, {}, sheet});
        first += sheet.size();
    }
    return true;
}

bool PrintBatch::Start(std::function<void()> wake)
{
    if (started_)
        return false;
    events_.setWake(std::move(wake));
    started_ = true;
    thread_ = std::thread([this] { run(); });
    return true;
}

PrintOutcome PrintBatch::print(const Item &item, QString &waybill) const
{
    switch (item.kind) {
    case Kind::Waybill:
        return WaybillSheet::Print(setup_, *waybillTemplate_, item.values);
    case Kind::ServerWaybill: {
        const ServerRecordQuery::Result fetched = ServerRecordQuery::Fetch(host_, item.envelope, timeouts_);
        if (fetched.outcome != ServerRecordQuery::Outcome::Found)
            return PrintOutcome::Failure(fetched.message);
        const FieldValues values = FieldValues::FromServer(fetched.record, account_, baseData_);
        waybill = values.number();
        return WaybillSheet::Print(setup_, *waybillTemplate_, values);
    }
    case Kind::LabelSheet:
        return LabelSheet::Print(setup_, labelLayout_, item.labels);
    case Kind::Invoice:
        break;
    }
    const InvoiceSheet::Inputs inputs{*invoiceTemplate_, invoiceLayout_, dictionary_, QDate::currentDate()};
    return InvoiceSheet::Output(setup_, inputs, item.invoice, item.mode);
}

void PrintBatch::run()
{
    Ending ending;
    QString why;
    if (!setup_.engine || !setup_.engine->start(&why)) {
        ending.startFailure = ExcelSession::CannotStartText();
        events_.push({true, {}, ending});
        return;
    }
    const int total = size();
    for (int i = 0; i < total; ++i) {
        if (!continue_) {
            ending.stopped = true;
            break;
        }
        const Item &item = items_[std::size_t(i)];
        Report report{item.id, item.waybill, {}, i + 1, total};
        report.outcome = print(item, report.waybill);
        ++(report.outcome.ok() ? ending.printed : ending.failed);
        events_.push({false, report, {}});
    }
    events_.push({true, {}, ending});
}

bool PrintBatch::Drain(Display &display)
{
    if (!started_ || ended_)
        return false;
    std::optional<Ending> ending;
    for (Event &e : events_.takeAll()) {
        if (e.end)
            ending = e.ending;
        else
            display.documentDone(e.report);
    }
    if (!ending)
        return true;
    ended_ = true;
    thread_.join();
    display.batchEnded(*ending);
    return false;
}

void PrintBatch::DrainUntilEnded(Display &display)
{
    while (Drain(display))
        WaitForEvents(1000);
}

} // namespace quarvel
