#pragma once

#include "query/CServerListPane.h"

namespace quarvel {

class CInfoPage;

// Page 5, "预查-查询已上传的预录单信息": the customer's uploaded pre-entries
// that the server has not processed yet. Selected ones can be deleted on
// the server; opening a row shows what the list knows of it on the left.
class CPreQueryPane : public CServerListPane {
    Q_OBJECT

public:
    CPreQueryPane(PageEnv &env, QWidget *parent = nullptr);

    CInfoPage &infoPage() { return *info_; }

    // "信息查询": page 1 of the fixed condition.
    void QueryInformation() override;
    // Deletes the selected pre-entries on the server, then reads page 1 again.
    void DeleteRecord() override;
    void OpenRow(int row) override;

protected:
    void rowsChanged() override;

private:
    CInfoPage *info_ = nullptr;
};

} // namespace quarvel
