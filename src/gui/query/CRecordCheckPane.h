#pragma once

#include "query/CServerListPane.h"
#include "query/RecordQueryForm.h"

namespace quarvel {

class CInfoPage;

// Page 1, "核单-已入系统快件记录核查": the customer's shipments on the server
// as the record query dialog selects them. Opening a row shows the
// shipment's information page on the left; its "C" shows the list alone.
class CRecordCheckPane : public CServerListPane {
    Q_OBJECT

public:
    CRecordCheckPane(PageEnv &env, QWidget *parent = nullptr);

    RecordQueryForm &form() { return form_; }
    CInfoPage &infoPage() { return *info_; }

    // "信息查询": the dialog, then page 1 of its condition.
    void QueryInformation() override;
    void OpenRow(int row) override;
    // Fetches a shipment's server record into the information page and
    // shows the page; the page stays as it was when nothing arrives.
    bool ShowShipmentInfo(int recordId);

private:
    RecordQueryForm form_;
    CInfoPage *info_ = nullptr;
};

} // namespace quarvel
