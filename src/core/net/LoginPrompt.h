#pragma once

namespace quarvel {

class ServerSession;

// How a command that needs the server gets a login: the window shows the
// login dialog, the command-line tool uses its --account and --password-stdin.
class LoginPrompt {
public:
    virtual ~LoginPrompt() = default;
    // Lets the operator log in; returns when the attempt is over, whatever
    // its result (the session tells).
    virtual void showLogin(ServerSession &session) = 0;
};

// The step every server command takes first: without a session, ask for a
// login. True when a session is open afterwards.
bool EnsureLoggedIn(ServerSession &session, LoginPrompt &prompt);

} // namespace quarvel
