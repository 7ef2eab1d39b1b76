#pragma once

#include "listpane/CRecordListPane.h"
#include "storage/ContactRecord.h"

namespace quarvel {

class CContactPage;

// Page 3: the address book in a list, with the contact form on its left.
// The list is filled once, when the pane is made; afterwards saves, deletes
// and imports change it row by row.
class CContactPane : public CRecordListPane {
    Q_OBJECT

public:
    CContactPane(PageEnv &env, QWidget *parent = nullptr);

    CContactPage &page() { return *page_; }
    void FocusEntry() override;

    void SaveRecord() override;
    void DeleteRecord() override;
    void CopyAll() override;
    void PasteAll() override;
    void NewRecord() override;
    void OpenRow(int row) override;
    void Initialise() override;
    // "打开Excel文件导入".
    void ImportFromExcel() override;
    bool Supports(Command command) const override { return command == CmdImport; }
    // "导出Excel表头".
    virtual void ExportImportHeader();

signals:
    // After a contact was saved (true) or deleted (false) and its row changed.
    void recordChanged(bool saved, int iid);

private:
    void onRecordChanged(bool saved, const ContactRecord &record);
    void updateFlags();

    CContactPage *page_ = nullptr;
};

} // namespace quarvel
