#include "query/CFeeListPane.h"

#include "app/ClientContext.h"
#include "query/CFeeQueryDlg.h"
#include "text/Gbk.h"

namespace quarvel {

CFeeListPane::CFeeListPane(PageEnv &env, QWidget *parent) : CServerListPane(env, ServerListKind::Settlements, parent)
{
}

void CFeeListPane::QueryInformation()
{
    CFeeQueryDlg dialog(form_, env().prompter, this);
    // "取消关闭" leaves the values as they were before the dialog opened.
    const auto kept = form_.values();
    if (runDialog(dialog) != QDialog::Accepted) {
        form_.values() = kept;
        return;
    }
    StartQuery(Gbk::fromUnicode(form_.Condition(env().context.session().clientId())));
}

} // namespace quarvel
