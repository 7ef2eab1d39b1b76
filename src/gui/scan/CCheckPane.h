#pragma once

#include "listpane/CRecordListPane.h"
#include "scan/CheckForm.h"
#include "upload/UploadResultSink.h"

namespace quarvel {

class CCheckPage;

// Page 2: the local checkpoint scans in a list ("●检查点扫描记录列表"), with
// the scan form on its left. Saved scans appear at once, deleted ones go;
// the upload sends the selected scans and removes the accepted rows, a
// refused one turns red with the reason in "下一站". No copy, paste or filter.
class CCheckPane : public CRecordListPane, public UploadResultSink {
    Q_OBJECT

public:
    static constexpr unsigned kRefusedText = 0xFF0000;

    CCheckPane(PageEnv &env, QWidget *parent = nullptr);

    CCheckPage &page() { return *page_; }
    void FocusEntry() override;

    // Refills the list from the file in file order and starts a new scan.
    void RefreshList() override;
    void SaveRecord() override;
    void DeleteRecord() override;
    void NewRecord() override;
    void OpenRow(int row) override;
    void Initialise() override;
    void SetFormHidden(bool hidden) override;
    // The ids above 0 of the selected rows, in list order; their number.
    int CollectUploadIds(QList<int> &ids) override;

    void applyUploadResult(int id, int status, bool removed, const QString &text) override;
    // The rows stay unselected, so that refused ones show in red.
    void uploadEnded() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void onRecordChanged(CheckForm::Change change, const CheckRecord &record);
    void updateFlags();

    CCheckPage *page_ = nullptr;
};

} // namespace quarvel
