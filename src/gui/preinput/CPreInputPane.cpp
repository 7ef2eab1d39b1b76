#include "preinput/CPreInputPane.h"

#include "app/ClientContext.h"
#include "preinput/CPreInputPage.h"
#include "preinput/FreightQuery.h"
#include "preinput/PreInputImport.h"
#include "preinput/WaybillTidy.h"
#include "print/DialogPrintPreview.h"
#include "print/DocumentPrinter.h"
#include "print/PreInputPrinting.h"
#include "print/PrintBatchController.h"
#include "query/CQuoteDlg.h"
#include "sheetimport/SheetImportRunner.h"
#include "shell/PageCatalog.h"

#include <QPushButton>

namespace quarvel {

CPreInputPane::CPreInputPane(PageEnv &env, QWidget *parent)
    : CRecordListPane(env, PageCatalog::Title(PageCatalog::PreInput), parent)
{
    list().setColumns(PageCatalog::Columns(PageCatalog::PreInput));
    listCtrl().applyColumnWidths();
    page_ = new CPreInputPage(env.context, env.prompter, this);
    setLeftForm(page_, CPreInputPage::kWidth);
    setSaveFollowsForm(true);
    mutableFlags().canCreate = true;
    mutableFlags().canUpload = true;

    connect(page_, &CPreInputPage::recordChanged, this, &CPreInputPane::onRecordChanged);
    connect(page_, &CPreInputPage::hideRequested, this, [this] { HideForm(); });
    connect(page_, &CPreInputPage::filterModeChanged, this, &CPreInputPane::setFilterMode);
    connect(page_, &CPreInputPage::priceRequested, this, [this] { PriceShownRecord(); });
    connect(page_, &CPreInputPage::quotationRequested, this, [this] { QuoteShownRecord(); });
    connect(page_, &CPreInputPage::headerExportRequested, this, [this] { ExportImportHeader(); });
    connect(&listCtrl(), &CRecordListCtrl::rowClicked, this, [this](int row) { OpenRow(row); });
    connect(&listCtrl(), &CRecordListCtrl::rowRemoved, this, [this] { updateFlags(); });
    ownPreview_ = std::make_unique<DialogPrintPreview>(this);
    preview_ = ownPreview_.get();
}

CPreInputPane::~CPreInputPane() = default;

void CPreInputPane::Initialise()
{
    RefreshList();
    SetFormHidden(false);
}

void CPreInputPane::RefreshList()
{
    list().setRows(PreInputRows::Build(env().context.preInputs(), filter_));
    updateFlags();
}

void CPreInputPane::setFilterMode(int mode)
{
    filter_ = static_cast<PreInputRows::FilterMode>(mode);
    RefreshList();
    NewRecord();
}

void CPreInputPane::updateFlags()
{
    PageFlags &f = mutableFlags();
    f.canDelete = !page_->form().isNew();
    f.canPaste = page_->form().hasCopy();
    f.canExport = list().rowCount() > 0;
    f.canSave = !formHidden();
    publishFlags();
}

void CPreInputPane::SaveRecord()
{
    if (formHidden())
        return;
    page_->SaveRecord();
    updateFlags();
}

void CPreInputPane::DeleteRecord()
{
    page_->DeleteRecord();
    updateFlags();
}

void CPreInputPane::CopyAll()
{
    page_->CopyAll();
    updateFlags();
}

void CPreInputPane::PasteAll()
{
    page_->PasteAll();
    updateFlags();
}

void CPreInputPane::NewRecord()
{
    if (!page_->ConfirmLeave())
        return;
    page_->NewRecord();
    updateFlags();
}

void CPreInputPane::OpenRow(int row)
{
    const int id = list().GetRowId(row);
    if (id <= 0 || id == page_->form().iid() || !page_->ConfirmLeave())
        return;
    if (page_->LoadRecord(id))
        updateFlags();
}

int CPreInputPane::CollectUploadIds(QList<int> &ids)
{
    return CollectSelectedIds(ids);
}

void CPreInputPane::onRecordChanged(bool saved, const PreInputRecord &record)
{
    const int id = record.iid;
    int row = list().FindRowById(id);
    if (!saved || !PreInputRows::Passes(record, filter_)) {
        list().removeRowAt(row);
    } else {
        RecordListModel::Row fresh = PreInputRows::Row(record);
        if (row >= 0) {
            list().setRowCells(row, fresh.cells);
            list().SetRowColors(row, fresh.text, fresh.background);
        } else {
            row = list().appendRow(std::move(fresh));
        }
        listCtrl().scrollTo(list().index(row, 0));
        listCtrl().selectRow(row);
    }
    UpdateCaption();
    updateFlags();
    emit recordChanged(saved, id);
}

void CPreInputPane::RefreshRecordRow(int iid)
{
    const int row = list().FindRowById(iid);
    const PreInputRecord *record = env().context.preInputs().Find(iid);
    if (!record) {
        list().removeRowAt(row);
    } else if (row >= 0) {
        const RecordListModel::Row fresh = PreInputRows::Row(*record);
        list().setRowCells(row, fresh.cells);
        list().SetRowColors(row, fresh.text, fresh.background);
    }
    page_->RecordChangedElsewhere(iid);
    UpdateCaption();
    updateFlags();
}

void CPreInputPane::ApplyUploadResult(int iid, bool accepted, const QString &reason)
{
    const int row = list().FindRowById(iid);
    if (accepted) {
        list().removeRowAt(row);
        if (page_->form().iid() == iid)
            page_->NewRecord();
    } else if (row >= 0) {
        list().setCell(row, PreInputRows::kReasonColumn, reason);
        list().SetRowColors(row, kRefusedText, RecordListModel::kWhite);
    }
    UpdateCaption();
    updateFlags();
}

void CPreInputPane::applyUploadResult(int id, int, bool removed, const QString &text)
{
    ApplyUploadResult(id, removed, text);
}

void CPreInputPane::applyWaybillNumber(int id, const QString &)
{
    RefreshRecordRow(id);
}

void CPreInputPane::applyPrice(int id, double)
{
    // The job has written the fee into the stored record; the row shows it in green.
    const int row = list().FindRowById(id);
    if (row < 0)
        return;
    RefreshRecordRow(id);
    list().SetRowColors(row, kPricedText, RecordListModel::kWhite);
}

void CPreInputPane::PriceSelected()
{
    if (!pricing_)
        pricing_ = std::make_unique<PricingController>(env().context, env().prompter);
    QList<int> ids;
    CollectUploadIds(ids);
    pricing_->start(ids, this);
}

void CPreInputPane::TidyWaybillNumbers()
{
    const int clientId = env().context.session().clientId();
    if (clientId <= 0)
        return;
    QList<int> ids;
    for (int row = 0; row < list().rowCount(); ++row)
        if (list().GetRowId(row) > 0)
            ids.append(list().GetRowId(row));
    for (const WaybillTidy::Change &change : WaybillTidy::Tidy(env().context.preInputs(), ids, clientId))
        RefreshRecordRow(change.id);
}

void CPreInputPane::PriceShownRecord()
{
    ClientContext &c = env().context;
    PreInputValues &v = page_->form().values();
    const FreightQuery::Values asked{v.cemskind, v.cdes, v.fweight, v.nitemtype};
    if (const std::optional<double> fee = FreightQuery::Ask(c.session(), c.baseData(), asked, env().prompter)) {
        v.ffee = *fee;
        page_->showValues();
    }
}

void CPreInputPane::QuoteShownRecord()
{
    ClientContext &c = env().context;
    const PreInputValues &v = page_->form().values();
    CQuoteDlg::Show(c.session(), c.baseData(), {v.cdes, v.nitemtype, v.fweight}, env().prompter, this);
}

void CPreInputPane::ImportFromExcel()
{
    SheetImportRunner runner(env(), this);
    const QString path = runner.chooseFile();
    if (path.isEmpty())
        return;
    ClientContext &c = env().context;
    PreInputImport rules(c.preInputs(),
                         {c.baseData(), c.settings(), c.session().loggedIn() ? c.session().clientId() : 0});
    rules.setWritten([this](const PreInputRecord &record) {
        if (PreInputRows::Passes(record, filter_))
            list().appendRow(PreInputRows::Row(record));
    });
    runner.run(path, rules);
    UpdateCaption();
    updateFlags();
}

void CPreInputPane::ExportImportHeader()
{
    SheetImportRunner(env(), this)
        .exportHeader(PreInputImport::SheetName(), PreInputImport::FileName(), PreInputImport::ExportColumns());
}

bool CPreInputPane::Supports(Command command) const
{
    switch (command) {
    case CmdPrice:
    case CmdTidyNumbers:
    case CmdPrintLabels:
    case CmdPrintWaybills:
    case CmdPrintInvoices:
    case CmdInvoicesToFile:
    case CmdImport:
        return true;
    default:
        return false;
    }
}

bool CPreInputPane::printBusy() const
{
    return printing_ || (printBatch_ && printBatch_->running());
}

QList<int> CPreInputPane::selectedIds()
{
    QList<int> ids;
    CollectUploadIds(ids);
    return ids;
}

QList<PrintSelection::Row> CPreInputPane::selectedPrintRows()
{
    QList<PrintSelection::Row> rows;
    for (int row : listCtrl().selectedRowIndexes())
        if (const int id = list().GetRowId(row); id > 0)
            rows.append({id, list().cell(row, PreInputRows::kNumberColumn)});
    return rows;
}

void CPreInputPane::PrintLabels()
{
    if (printBusy())
        return;
    printing_ = true;
    const PreInputPrinting::Plan plan = PreInputPrinting(env().context, env().prompter).PlanLabels(selectedPrintRows());
    printing_ = false;
    if (plan.ids.isEmpty())
        return;
    auto batch = std::make_unique<PrintBatch>(env().context);
    batch->AddLabelSheets(plan.ids);
    startPrintBatch(std::move(batch), QStringLiteral("打印标签"), false);
}

void CPreInputPane::PrintWaybills()
{
    if (printBusy())
        return;
    const PreInputPrinting::Plan plan =
        PreInputPrinting(env().context, env().prompter).PlanWaybills(selectedPrintRows());
    if (plan.ids.isEmpty())
        return;
    if (plan.batch) {
        auto batch = std::make_unique<PrintBatch>(env().context);
        batch->AddWaybills(plan.ids);
        startPrintBatch(std::move(batch), QStringLiteral("批量打印面单"), false);
        return;
    }
    printing_ = true;
    const PrintOutcome outcome = DocumentPrinter(env().context, preview_).PrintWaybill(plan.ids.first());
    printing_ = false;
    showSingleOutcome(outcome, false);
}

void CPreInputPane::PrintInvoices(bool toFile)
{
    if (printBusy())
        return;
    const InvoiceSheet::Mode mode = toFile ? InvoiceSheet::Mode::KeepFile : InvoiceSheet::Mode::Print;
    const PreInputPrinting::Plan plan =
        PreInputPrinting(env().context, env().prompter).PlanInvoices(selectedIds(), mode);
    if (plan.ids.isEmpty())
        return;
    if (plan.batch) {
        auto batch = std::make_unique<PrintBatch>(env().context);
        batch->AddInvoices(plan.ids, mode);
        startPrintBatch(std::move(batch), toFile ? QStringLiteral("保存形式发票") : QStringLiteral("打印形式发票"),
                        toFile);
        return;
    }
    printing_ = true;
    const PrintOutcome outcome = DocumentPrinter(env().context, preview_).OutputInvoice(plan.ids.first(), mode);
    printing_ = false;
    showSingleOutcome(outcome, toFile);
}

void CPreInputPane::showSingleOutcome(const PrintOutcome &outcome, bool savedInvoice)
{
    if (outcome.status == PrintOutcome::Status::Failed && !outcome.message.isEmpty())
        env().prompter.error(QString(), outcome.message);
    else if (savedInvoice && outcome.ok())
        env().prompter.inform(QString(), PreInputPrinting::SavedInvoicesText(1, env().context.tempFolder()));
}

bool CPreInputPane::startPrintBatch(std::unique_ptr<PrintBatch> batch, const QString &what, bool savedInvoices)
{
    printBatch_ = std::make_unique<PrintBatchController>(what, env().showOperation);
    connect(printBatch_.get(), &PrintBatchController::documentFinished, this, &CPreInputPane::documentPrinted);
    const auto ended = [this, savedInvoices](const PrintBatch::Ending &ending, const QStringList &failures) {
        if (!ending.startFailure.isEmpty())
            env().prompter.error(QString(), ending.startFailure);
        else if (!failures.isEmpty())
            env().prompter.error(QString(), QStringLiteral("以下 %1 份没有完成：\r\n").arg(failures.size()) +
                                                failures.join(QStringLiteral("\r\n")));
        if (savedInvoices && ending.printed > 0)
            env().prompter.inform(QString(),
                                  PreInputPrinting::SavedInvoicesText(ending.printed, env().context.tempFolder()));
        emit printingEnded();
    };
    return printBatch_->start(std::move(batch), ended);
}

} // namespace quarvel
