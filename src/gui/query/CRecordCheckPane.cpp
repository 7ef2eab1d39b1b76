#include "query/CRecordCheckPane.h"

#include "app/ClientContext.h"
#include "query/CInfoPage.h"
#include "query/CRecordQueryDlg.h"
#include "query/ShipmentInfoQuery.h"
#include "text/Gbk.h"

namespace quarvel {

CRecordCheckPane::CRecordCheckPane(PageEnv &env, QWidget *parent)
    : CServerListPane(env, ServerListKind::Records, parent)
{
    info_ = new CInfoPage(this);
    setLeftForm(info_, CInfoPage::kWidth);
    connect(info_, &CInfoPage::closeRequested, this, [this] { HideForm(); });
}

void CRecordCheckPane::QueryInformation()
{
    ClientContext &context = env().context;
    CRecordQueryDlg dialog(form_, context.baseData(), context.promptPhrases().phrases(), env().prompter, this);
    // "取消关闭" leaves the values as they were before the dialog opened.
    const auto kept = form_.values();
    if (runDialog(dialog) != QDialog::Accepted) {
        form_.values() = kept;
        return;
    }
    StartQuery(Gbk::fromUnicode(form_.Condition(context.session().clientId(), context.baseData())));
}

void CRecordCheckPane::OpenRow(int row)
{
    const int id = list().GetRowId(row);
    if (id > 0)
        ShowShipmentInfo(id);
}

bool CRecordCheckPane::ShowShipmentInfo(int recordId)
{
    const ShipmentInfoQuery::Result r = ShipmentInfoQuery::Fetch(env().context.session(), recordId);
    if (!r.found) {
        env().prompter.error(QString(), r.message);
        return false;
    }
    info_->ShowInfo(r.info, serverHost());
    SetFormHidden(false);
    return true;
}

} // namespace quarvel
