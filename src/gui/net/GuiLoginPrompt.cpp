#include "net/GuiLoginPrompt.h"

#include "net/CLoginDlg.h"
#include "net/LoginForm.h"

namespace quarvel {

void GuiLoginPrompt::showLogin(ServerSession &session)
{
    LoginForm form(session, lastAccountPath_);
    CLoginDlg dialog(form, nullptr, parent_);
    dialog.exec();
    if (afterClose_)
        afterClose_();
}

} // namespace quarvel
