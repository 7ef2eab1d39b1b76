#include "preinput/CPreInputPane.h"

#include "app/ClientContext.h"
#include "preinput/CPreInputPage.h"
#include "preinput/FreightQuery.h"
#include "preinput/PreInputImport.h"
#include "preinput/WaybillTidy.h"
#include "print/DocumentPrinter.h"
#include "print/PagePrintRunner.h"
#include "print/PreInputPrinting.h"
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
    printing_ = std::make_unique<PagePrintRunner>(env, this);
    connect(printing_.get(), &PagePrintRunner::documentPrinted, this, &CPreInputPane::documentPrinted);
    connect(printing_.get(), &PagePrintRunner::printingEnded, this, &CPreInputPane::printingEnded);
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
    // Why a record stayed at its last upload, also after a restart.
    ClientContext &c = env().context;
    for (int id : c.uploadResults().Ids(UploadKind::Shipments))
        if (const QString reason = c.LastUploadReason(UploadKind::Shipments, id); !reason.isEmpty())
            ApplyUploadResult(id, false, reason);
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
    f.canPrint = f.canExport;
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

void CPreInputPane::FocusEntry()
{
    if (formHidden())
        CRecordListPane::FocusEntry();
    else
        page_->FocusFirstField();
}

bool CPreInputPane::ConfirmClose()
{
    return page_->ConfirmLeave();
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
    if (clientId <= 0) {
        env().prompter.warning(QString(), QStringLiteral("当前登入的账号没有客户编号，不能整理运单号。"));
        return;
    }
    QList<int> ids;
    for (int row = 0; row < list().rowCount(); ++row)
        if (list().GetRowId(row) > 0)
            ids.append(list().GetRowId(row));
    const QList<WaybillTidy::Change> changes = WaybillTidy::Tidy(env().context.preInputs(), ids, clientId);
    for (const WaybillTidy::Change &change : changes)
        RefreshRecordRow(change.id);
    env().prompter.inform(QString(), changes.isEmpty()
                                         ? QStringLiteral("没有需要整理的运单号。")
                                         : QStringLiteral("已整理 %1 条记录的运单号。").arg(changes.size()));
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
    return printing_->busy();
}

void CPreInputPane::setPreview(PrintPreview *preview)
{
    printing_->setPreview(preview);
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
    const PreInputPrinting::Plan plan = PreInputPrinting(env().context, env().prompter).PlanLabels(selectedPrintRows());
    if (plan.ids.isEmpty())
        return;
    auto batch = std::make_unique<PrintBatch>(env().context);
    batch->AddLabelSheets(plan.ids);
    printing_->startBatch(std::move(batch), QStringLiteral("打印标签"));
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
        printing_->startBatch(std::move(batch), QStringLiteral("批量打印面单"));
        return;
    }
    printing_->printOne([&plan](DocumentPrinter &printer) { return printer.PrintWaybill(plan.ids.first()); });
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
        const auto saved = [this, toFile](const PrintBatch::Ending &ending) {
            if (toFile && ending.printed > 0)
                showSavedInvoices(ending.printed);
        };
        printing_->startBatch(std::move(batch),
                              toFile ? QStringLiteral("保存形式发票") : QStringLiteral("打印形式发票"), saved);
        return;
    }
    const PrintOutcome outcome = printing_->printOne(
        [&plan, mode](DocumentPrinter &printer) { return printer.OutputInvoice(plan.ids.first(), mode); });
    if (toFile && outcome.ok())
        showSavedInvoices(1);
}

void CPreInputPane::showSavedInvoices(int count)
{
    env().prompter.inform(QString(), PreInputPrinting::SavedInvoicesText(count, env().context.tempFolder()));
}

} // namespace quarvel
