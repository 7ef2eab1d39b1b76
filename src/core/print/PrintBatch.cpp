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
    turns_.close();
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

PrintBatch::Selected PrintBatch::selected(int id) const
{
    const PreInputRecord *r = id > 0 ? context_.preInputs().Find(id) : nullptr;
    return {id, r ? Gbk::field(r->cnum) : QString()};
}

bool PrintBatch::AddWaybills(const QList<int> &ids, QString *message)
{
    if (!takeWaybillTemplate(message))
        return false;
    for (int id : ids)
        items_.push_back({Kind::Waybill, id, selected(id).waybill, {}, {}, {}});
    return true;
}

bool PrintBatch::AddServerWaybills(const QList<int> &recordIds, QString *message)
{
    if (!takeWaybillTemplate(message))
        return false;
    baseData_ = context_.baseData();
    for (int id : recordIds)
        items_.push_back({Kind::ServerWaybill, id, QString(), Envelope::waybillPrint(context_.session(), id), {}, {}});
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
    for (int id : ids)
        items_.push_back({Kind::Invoice, id, selected(id).waybill, {}, mode, {}});
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
    labelOptions_ = LabelFields::Options::Of(*layout.labelTemplate());
    for (const QList<int> &sheet : LabelSheet::Sheets(ids, layout.LabelsPerSheet())) {
        Item item{Kind::LabelSheet, sheet.first(), QString(), {}, {}, {}};
        QStringList numbers;
        for (int id : sheet) {
            item.labels.append(selected(id));
            numbers << item.labels.last().waybill;
        }
        item.waybill = LabelSheet::Title(numbers);
        items_.push_back(std::move(item));
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

PrintBatch::Turn PrintBatch::read(const Item &item) const
{
    Turn turn;
    const auto record = [this](int id) { return id > 0 ? context_.preInputs().Find(id) : nullptr; };
    switch (item.kind) {
    case Kind::Waybill:
        if (const PreInputRecord *r = record(item.id))
            turn.values = FieldValues::FromRecord(*r, account_, context_.baseData());
        break;
    case Kind::Invoice: {
        InvoiceSource source;
        if (InvoiceSource::Take(context_.preInputs(), context_.goods(), item.id, source))
            turn.invoice = std::move(source);
        break;
    }
    case Kind::LabelSheet:
        for (const Selected &s : item.labels) {
            const PreInputRecord *r = record(s.id);
            turn.labels.append(
                r ? std::optional(LabelFields::FromRecord(*r, labelOptions_, account_, context_.baseData()))
                  : std::nullopt);
        }
        break;
    case Kind::ServerWaybill:
        break;
    }
    return turn;
}

void PrintBatch::answerTurn()
{
    if (const std::optional<std::size_t> wanted = turns_.take())
        turns_.answer(read(items_[*wanted]));
}

PrintOutcome PrintBatch::printLabelSheet(const Item &item, const Turn &turn, Report &report) const
{
    for (qsizetype p = 0; p < item.labels.size(); ++p)
        if (p >= turn.labels.size() || !turn.labels[p])
            report.gone.append(item.labels[p]);
    const QStringList numbers = LabelSheet::Numbers(turn.labels);
    if (numbers.isEmpty())
        return {PrintOutcome::Status::Skipped, GoneText(), QString(), 0};
    report.waybill = LabelSheet::Title(numbers);
    return LabelSheet::Print(setup_, labelLayout_, turn.labels);
}

PrintOutcome PrintBatch::print(std::size_t index, Report &report)
{
    const Item &item = items_[index];
    if (item.kind == Kind::ServerWaybill) {
        const ServerRecordQuery::Result fetched = ServerRecordQuery::Fetch(host_, item.envelope, timeouts_);
        if (fetched.outcome != ServerRecordQuery::Outcome::Found)
            return PrintOutcome::Failure(fetched.message);
        const FieldValues values = FieldValues::FromServer(fetched.record, account_, baseData_);
        report.waybill = values.number();
        return WaybillSheet::Print(setup_, *waybillTemplate_, values);
    }
    const std::optional<Turn> turn = turns_.ask(index, [this] { events_.push({Event::Type::TurnWanted, {}, {}}); });
    if (!turn) {
        // The batch is going away: nothing more is printed.
        continue_ = false;
        return {PrintOutcome::Status::Cancelled, QString(), QString(), 0};
    }
    if (item.kind == Kind::LabelSheet)
        return printLabelSheet(item, *turn, report);
    const bool present = item.kind == Kind::Waybill ? turn->values.has_value() : turn->invoice.has_value();
    if (!present) {
        report.gone.append({item.id, item.waybill});
        return {PrintOutcome::Status::Skipped, GoneText(), QString(), 0};
    }
    if (item.kind == Kind::Waybill) {
        report.waybill = turn->values->number();
        return WaybillSheet::Print(setup_, *waybillTemplate_, *turn->values);
    }
    report.waybill = Gbk::field(turn->invoice->record.cnum);
    const InvoiceSheet::Inputs inputs{*invoiceTemplate_, invoiceLayout_, dictionary_, QDate::currentDate()};
    return InvoiceSheet::Output(setup_, inputs, *turn->invoice, item.mode);
}

void PrintBatch::run()
{
    Ending ending;
    QString why;
    if (!setup_.engine || !setup_.engine->start(&why)) {
        ending.startFailure = ExcelSession::CannotStartText();
        events_.push({Event::Type::End, {}, ending});
        return;
    }
    const int total = size();
    for (int i = 0; i < total; ++i) {
        if (!continue_) {
            ending.stopped = true;
            break;
        }
        const Item &item = items_[std::size_t(i)];
        Report report{item.id, item.waybill, {}, i + 1, total, {}};
        report.outcome = print(std::size_t(i), report);
        if (report.outcome.ok())
            ++ending.printed;
        else if (report.outcome.status == PrintOutcome::Status::Skipped)
            ++ending.skipped;
        else
            ++ending.failed;
        events_.push({Event::Type::Report, report, {}});
    }
    events_.push({Event::Type::End, {}, ending});
}

bool PrintBatch::Drain(Display &display)
{
    if (!started_ || ended_)
        return false;
    std::optional<Ending> ending;
    for (Event &e : events_.takeAll()) {
        if (e.type == Event::Type::End)
            ending = e.ending;
        else if (e.type == Event::Type::Report)
            display.documentDone(e.report);
    }
    // After the reports: what the display changed in the files is what the next document reads.
    answerTurn();
    if (!ending)
        return true;
    ended_ = true;
    if (thread_.joinable())
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
