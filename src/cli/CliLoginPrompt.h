#pragma once

#include "net/LoginForm.h"
#include "net/LoginPrompt.h"

#include <QString>

namespace quarvel {

class Prompter;

// The command line's login: the account of --account (else the last one
// used) and the password read by --password-stdin, tried once; the login's
// messages go to standard error.
class CliLoginPrompt : public LoginPrompt {
public:
    CliLoginPrompt(const QString &account, const QString &password, const QString &lastAccountPath, Prompter &prompter)
        : account_(account), password_(password), lastAccountPath_(lastAccountPath), prompter_(prompter)
    {
    }

    // What a command that needs the server says when no login was asked for.
    static QString NeededText()
    {
        return QStringLiteral("需要登入服务器：请用 --account 帐号 --password-stdin 给出帐号和密码。");
    }

    void showLogin(ServerSession &session) override;
    // How the attempt ended (NotTried: there was no account to try).
    LoginForm::Outcome outcome() const { return outcome_; }

private:
    QString account_;
    QString password_;
    QString lastAccountPath_;
    Prompter &prompter_;
    LoginForm::Outcome outcome_ = LoginForm::Outcome::NotTried;
};

} // namespace quarvel
