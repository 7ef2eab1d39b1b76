#include "scan/CCheckPane.h"

#include "app/ClientContext.h"
#include "scan/CCheckPage.h"
#include "scan/ScanRows.h"
#include "shell/PageCatalog.h"

#include <QLineEdit>

namespace quarvel {

CCheckPane::CCheckPane(PageEnv &env, QWidget *parent)
    : CRecordListPane(env, PageCatalog::Title(PageCatalog::Scan), parent)
{
    list().setColumns(PageCatalog::Columns(PageCatalog::Scan));
    listCtrl().applyColumnWidths();
    page_ = new CCheckPage(env.context, env.prompter, this);
    setLeftForm(page_, CCheckPage::kWidth);
    setSaveFollowsForm(true);
    mutableFlags().canCreate = true;
    mutableFlags().canUpload = true;

    connect(page_, &CCheckPage::recordChanged, this, &CCheckPane::onRecordChanged);
    connect(page_, &CCheckPage::hideRequested, this, [this] { HideForm(); });
    connect(&listCtrl(), &CRecordListCtrl::rowClicked, this, [this](int row) { OpenRow(row); });
    connect(&listCtrl(), &CRecordListCtrl::rowRemoved, this, [this] { updateFlags(); });
}

void CCheckPane::Initialise()
{
    RefreshList();
    SetFormHidden(false);
}

void CCheckPane::SetFormHidden(bool hidden)
{
    CRecordListPane::SetFormHidden(hidden);
    if (!hidden && isVisible())
        page_->numberField()->setFocus(Qt::OtherFocusReason);
}

void CCheckPane::showEvent(QShowEvent *event)
{
    CRecordListPane::showEvent(event);
    // The scanner types into whatever has the focus: the waybill field.
    if (!formHidden())
        page_->numberField()->setFocus(Qt::OtherFocusReason);
}

void CCheckPane::RefreshList()
{
    list().setRows(ScanRows::Build(env().context.checks()));
    // Why a scan stayed at its last upload, also after a restart.
    ClientContext &c = env().context;
    for (int id : c.uploadResults().Ids(UploadKind::Scans))
        if (const QString reason = c.LastUploadReason(UploadKind::Scans, id); !reason.isEmpty())
            applyUploadResult(id, 0, false, reason);
    page_->NewScan();
    updateFlags();
}

void CCheckPane::FocusEntry()
{
    if (formHidden())
        CRecordListPane::FocusEntry();
    else
        page_->numberField()->setFocus(Qt::OtherFocusReason);
}

void CCheckPane::updateFlags()
{
    PageFlags &f = mutableFlags();
    f.canDelete = !page_->form().isNew();
    f.canExport = list().rowCount() > 0;
    f.canPrint = f.canExport;
    f.canSave = !formHidden();
    publishFlags();
}

void CCheckPane::SaveRecord()
{
    if (formHidden())
        return;
    page_->SaveScan();
    updateFlags();
}

void CCheckPane::DeleteRecord()
{
    page_->DeleteScan();
    updateFlags();
}

void CCheckPane::NewRecord()
{
    page_->NewScan();
    updateFlags();
}

void CCheckPane::OpenRow(int row)
{
    const int id = list().GetRowId(row);
    if (id > 0) {
        page_->LoadScan(id);
        updateFlags();
    }
}

int CCheckPane::CollectUploadIds(QList<int> &ids)
{
    return CollectSelectedIds(ids);
}

void CCheckPane::onRecordChanged(CheckForm::Change change, const CheckRecord &record)
{
    // A new scan has a new id: its row is appended without a search, so a
    // long session costs the same for every scan.
    int row = change == CheckForm::Change::Added ? -1 : list().FindRowById(record.iid);
    if (change == CheckForm::Change::Deleted) {
        list().removeRowAt(row);
    } else {
        RecordListModel::Row fresh = ScanRows::Row(record, true);
        if (row >= 0) {
            list().setRowCells(row, fresh.cells);
            list().SetRowColors(row, fresh.text, fresh.background);
        } else {
            row = list().appendRow(std::move(fresh));
        }
        listCtrl().scrollTo(list().index(row, 0));
    }
    UpdateCaption();
    updateFlags();
}

void CCheckPane::applyUploadResult(int id, int, bool removed, const QString &text)
{
    const int row = list().FindRowById(id);
    if (removed) {
        list().removeRowAt(row);
        if (page_->form().iid() == id)
            page_->NewScan();
    } else if (row >= 0) {
        list().setCell(row, ScanRows::kReasonColumn, text);
        list().SetRowColors(row, kRefusedText, RecordListModel::kWhite);
    }
    UpdateCaption();
    updateFlags();
}

void CCheckPane::uploadEnded()
{
    listCtrl().clearSelection();
}

} // namespace quarvel
