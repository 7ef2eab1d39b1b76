#include "CliLoginPrompt.h"

#include "app/Prompter.h"

namespace quarvel {

void CliLoginPrompt::showLogin(ServerSession &session)
{
    LoginForm form(session, lastAccountPath_);
    form.Open();
    if (!account_.isEmpty())
        form.account = account_;
    form.password = password_;
    if (form.account.trimmed().isEmpty()) {
        prompter_.error(QString(), NeededText());
        return;
    }
    form.Confirm(prompter_);
    outcome_ = form.outcome();
}

} // namespace quarvel
