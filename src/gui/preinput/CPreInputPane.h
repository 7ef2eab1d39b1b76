#pragma once

#include "listpane/CRecordListPane.h"
#include "preinput/PreInputRows.h"
#include "preinput/PricingController.h"
#include "preinput/PrintSelection.h"
#include "upload/UploadResultSink.h"

#include <memory>

namespace quarvel {

class CPreInputPage;
class PagePrintRunner;
class PrintPreview;

// Page 0: the local pre-entry records in a list, with the pre-entry form on
// its left. The frame's record commands reach the form through the pane's
// operations; saved and deleted records change their rows at once.
class CPreInputPane : public CRecordListPane, public UploadResultSink, public PricingResultSink {
    Q_OBJECT

public:
    CPreInputPane(PageEnv &env, QWidget *parent = nullptr);
    ~CPreInputPane() override;

    CPreInputPage &page() { return *page_; }
    PreInputRows::FilterMode filterMode() const { return filter_; }

    void RefreshList() override;
    void SaveRecord() override;
    void DeleteRecord() override;
    void CopyAll() override;
    void PasteAll() override;
    void NewRecord() override;
    void OpenRow(int row) override;
    // A half-typed shipment is saved, dropped or kept open, as the operator says.
    bool ConfirmClose() override;
    void FocusEntry() override;
    void Initialise() override;
    // The ids of the selected rows, in list order; their number.
    int CollectUploadIds(QList<int> &ids) override;

    // The upload's answer for one record: an accepted one leaves the list
    // (the upload has deleted it with its lines), a refused one turns red
    // with the reason in column 2.
    virtual void ApplyUploadResult(int iid, bool accepted, const QString &reason);
    // Re-reads one record from the file into its row (after a worker changed
    // it, e.g. its freight); a record that is gone loses its row.
    virtual void RefreshRecordRow(int iid);
    // "费用:": price the shown shipment (the form's values are current).
    virtual void PriceShownRecord();
    // " $": quote the shown shipment's destination and weight.
    virtual void QuoteShownRecord();
    // "给所选预录记录计价": the selected records priced in the background.
    void PriceSelected() override;
    // "整理预录记录的运单号": every listed number with "XXXXX" completed.
    void TidyWaybillNumbers() override;
    // "打开Excel文件导入": records from a spreadsheet, each row in the list as it is written.
    void ImportFromExcel() override;
    // "打印标签(&L)": after the question, the selected records on sheets of
    // labels, printed by the printing worker a sheet at a time.
    void PrintLabels() override;
    // "打印面单(&T)": the selected records' waybills, one at once (after its
    // preview), several on the printing worker after a question.
    void PrintWaybills() override;
    // "打印形式发票(&P)" / "输出形式发票到文件(&F)".
    void PrintInvoices(bool toFile) override;
    bool Supports(Command command) const override;
    // Set while a print command runs: a second one then does nothing.
    bool printBusy() const;
    // The preview before a single document is printed (tests put their own).
    void setPreview(PrintPreview *preview);

    void applyUploadResult(int id, int status, bool removed, const QString &text) override;
    void applyWaybillNumber(int id, const QString &number) override;
    void applyPrice(int id, double fee) override;
    // "导出Excel表头".
    virtual void ExportImportHeader();

    static constexpr unsigned kRefusedText = 0xFF0000;
    static constexpr unsigned kPricedText = 0x008000;

signals:
    // After a record was saved (true) or deleted (false) and its row changed.
    void recordChanged(bool saved, int iid);
    // A document of a print batch is done (its record id); the batch has ended.
    void documentPrinted(int iid);
    void printingEnded();

private:
    void onRecordChanged(bool saved, const PreInputRecord &record);
    QList<int> selectedIds();
    QList<PrintSelection::Row> selectedPrintRows();
    void showSavedInvoices(int count);
    void setFilterMode(int mode);
    void updateFlags();

    CPreInputPage *page_ = nullptr;
    std::unique_ptr<PricingController> pricing_;
    std::unique_ptr<PagePrintRunner> printing_;
    PreInputRows::FilterMode filter_ = PreInputRows::All;
};

} // namespace quarvel
