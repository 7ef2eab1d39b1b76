#pragma once

#include "query/CServerListPane.h"
#include "query/FeeQueryForm.h"

namespace quarvel {

// Page 4, "结算-快件结算记录查询": the customer's settlements as the
// settlement query dialog selects them.
class CFeeListPane : public CServerListPane {
    Q_OBJECT

public:
    CFeeListPane(PageEnv &env, QWidget *parent = nullptr);

    FeeQueryForm &form() { return form_; }
    void QueryInformation() override;

private:
    FeeQueryForm form_;
};

} // namespace quarvel
