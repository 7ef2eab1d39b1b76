#pragma once

#include "query/CServerListPane.h"
#include "query/RecordQueryForm.h"

#include <memory>

namespace quarvel {

class CInfoPage;
class PagePrintRunner;
class PrintPreview;

// Page 1, "核单-已入系统快件记录核查": the customer's shipments on the server
// as the record query dialog selects them. Opening a row shows the
// shipment's information page on the left; its "C" shows the list alone.
class CRecordCheckPane : public CServerListPane {
    Q_OBJECT

public:
    CRecordCheckPane(PageEnv &env, QWidget *parent = nullptr);
    ~CRecordCheckPane() override;

    RecordQueryForm &form() { return form_; }
    CInfoPage &infoPage() { return *info_; }

    // "信息查询": the dialog, then page 1 of its condition.
    void QueryInformation() override;
    void OpenRow(int row) override;
    // Fetches a shipment's server record into the information page and
    // shows the page; the page stays as it was when nothing arrives.
    bool ShowShipmentInfo(int recordId);

    // "打印面单(&T)": the selected shipments' waybills from their server
    // records, one at once (after its preview), several on the printing
    // worker after a question.
    void PrintWaybills() override;
    bool Supports(Command command) const override { return command == CmdPrintWaybills; }
    // Set while a print command runs: a second one then does nothing.
    bool printBusy() const;
    // The preview before a single waybill is printed (tests put their own).
    void setPreview(PrintPreview *preview);

signals:
    // A waybill of a batch is done (its server id); the batch has ended.
    void documentPrinted(int recordId);
    void printingEnded();

private:
    RecordQueryForm form_;
    CInfoPage *info_ = nullptr;
    std::unique_ptr<PagePrintRunner> printing_;
};

} // namespace quarvel
