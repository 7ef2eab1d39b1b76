#pragma once

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

    void showLogin(ServerSession &session) override;

private:
    QString account_;
    QString password_;
    QString lastAccountPath_;
    Prompter &prompter_;
};

} // namespace quarvel
