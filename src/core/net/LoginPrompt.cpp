#include "net/LoginPrompt.h"

#include "net/ServerSession.h"

namespace quarvel {

bool EnsureLoggedIn(ServerSession &session, LoginPrompt &prompt)
{
    if (session.loggedIn())
        return true;
    prompt.showLogin(session);
    return session.loggedIn();
}

} // namespace quarvel
