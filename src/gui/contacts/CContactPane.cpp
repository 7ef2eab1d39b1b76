#include "contacts/CContactPane.h"

#include "app/ClientContext.h"
#include "contacts/CContactPage.h"
#include "contacts/ContactImport.h"
#include "contacts/ContactRows.h"
#include "sheetimport/SheetImportRunner.h"
#include "shell/PageCatalog.h"

namespace quarvel {

CContactPane::CContactPane(PageEnv &env, QWidget *parent)
    : CRecordListPane(env, PageCatalog::Title(PageCatalog::Contacts), parent)
{
    list().setColumns(PageCatalog::Columns(PageCatalog::Contacts));
    listCtrl().applyColumnWidths();
    page_ = new CContactPage(env.context, env.prompter, this);
    setLeftForm(page_, CContactPage::kWidth);
    setSaveFollowsForm(true);
    mutableFlags().canCreate = true;
    list().setRows(ContactRows::Build(env.context.contacts()));

    connect(page_, &CContactPage::recordChanged, this, &CContactPane::onRecordChanged);
    connect(page_, &CContactPage::hideRequested, this, [this] { HideForm(); });
    connect(page_, &CContactPage::headerExportRequested, this, [this] { ExportImportHeader(); });
    connect(page_, &CContactPage::lookedUp, this, [this] { updateFlags(); });
    connect(&listCtrl(), &CRecordListCtrl::rowClicked, this, [this](int row) { OpenRow(row); });
    connect(&listCtrl(), &CRecordListCtrl::rowRemoved, this, [this] { updateFlags(); });
}

void CContactPane::FocusEntry()
{
    if (formHidden())
        CRecordListPane::FocusEntry();
    else
        page_->control(QStringLiteral("cname"))->setFocus(Qt::OtherFocusReason);
}

void CContactPane::Initialise()
{
    SetFormHidden(false);
    NewRecord();
}

void CContactPane::updateFlags()
{
    PageFlags &f = mutableFlags();
    f.canDelete = !page_->form().isNew();
    f.canPaste = page_->form().hasCopy();
    f.canExport = list().rowCount() > 0;
    f.canPrint = f.canExport;
    f.canSave = !formHidden();
    publishFlags();
}

void CContactPane::SaveRecord()
{
    if (formHidden())
        return;
    page_->SaveContact();
    updateFlags();
}

void CContactPane::DeleteRecord()
{
    page_->DeleteContact();
    updateFlags();
}

void CContactPane::CopyAll()
{
    page_->CopyAll();
    updateFlags();
}

void CContactPane::PasteAll()
{
    page_->PasteAll();
    updateFlags();
}

void CContactPane::NewRecord()
{
    page_->NewContact();
    updateFlags();
}

void CContactPane::OpenRow(int row)
{
    const int id = list().GetRowId(row);
    if (id > 0 && page_->LoadContact(id))
        updateFlags();
}

void CContactPane::onRecordChanged(bool saved, const ContactRecord &record)
{
    int row = list().FindRowById(record.iid);
    if (!saved) {
        list().removeRowAt(row);
    } else {
        RecordListModel::Row fresh = ContactRows::Row(record);
        if (row >= 0)
            list().setRowCells(row, fresh.cells);
        else
            row = list().appendRow(std::move(fresh));
        listCtrl().scrollTo(list().index(row, 0));
        listCtrl().selectRow(row);
    }
    UpdateCaption();
    updateFlags();
    emit recordChanged(saved, record.iid);
}

void CContactPane::ImportFromExcel()
{
    SheetImportRunner runner(env(), this);
    const QString path = runner.chooseFile();
    if (path.isEmpty())
        return;
    ContactImport rules(env().context.contacts());
    rules.setWritten([this](const ContactRecord &record) { list().appendRow(ContactRows::Row(record)); });
    runner.run(path, rules);
    if (list().rowCount() > 0)
        listCtrl().scrollTo(list().index(list().rowCount() - 1, 0));
    UpdateCaption();
    updateFlags();
}

void CContactPane::ExportImportHeader()
{
    SheetImportRunner(env(), this)
        .exportHeader(ContactImport::SheetName(), ContactImport::FileName(), ContactImport::ExportColumns());
}

} // namespace quarvel
