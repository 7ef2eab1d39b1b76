#include "CliLoginPrompt.h"

#include "app/Prompter.h"
#include "net/LoginForm.h"

namespace quarvel {

void CliLoginPrompt::showLogin(ServerSession &session)
{
    LoginForm form(session, lastAccountPath_);
    form.Open();
    if (!account_.isEmpty())
        form.account = account_;
    form.password = password_;
    if (form.account.trimmed().isEmpty()) {
        prompter_.error(QString(),
                        QStringLiteral("需要登入服务器：请用 --account 帐号 --password-stdin 给出帐号和密码。"));
        return;
    }
    form.Confirm(prompter_);
}

} // namespace quarvel
