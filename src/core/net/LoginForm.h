#pragma once

#include <QString>

#include <functional>

namespace quarvel {

class Prompter;
class ServerSession;

// The values and rules of the login dialog ("登入服务器"): the account and
// password boxes, the status line with its colour, where the focus starts,
// and the log-in command. The dialog binds its controls to these values.
class LoginForm {
public:
    enum class Focus { Account, Password, LoginButton };
    // How the last log-in ended: a script tells a refusal (a box's check or
    // the server's answer) from a server it could not reach.
    enum class Outcome { NotTried, LoggedIn, Refused, NoConnection };

    static constexpr int kMaxLength = 30;
    static constexpr quint32 kRed = 0xFF0000;
    static constexpr quint32 kGreen = 0x00FF00;

    // lastAccountPath: DATA_SYS/last.dat, offered while no session is open.
    LoginForm(ServerSession &session, const QString &lastAccountPath);

    // Fills the boxes and the status line as the dialog opens.
    void Open();
    // Checks both boxes and logs in. True when the session is open and the
    // dialog may close; otherwise the message was shown and it stays open.
    bool Confirm(Prompter &prompter);

    QString account;
    QString password;

    const QString &statusText() const { return statusText_; }
    // The status line's text colour as 0xRRGGBB.
    quint32 statusColor() const { return statusColor_; }
    Focus focus() const { return focus_; }
    Outcome outcome() const { return outcome_; }

    static QString title() { return QStringLiteral("登入服务器"); }

    // The clock of the digest (seconds since 1970, UTC); tests set their own.
    void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

private:
    bool refuse(Prompter &prompter, const QString &reason, Outcome outcome);

    ServerSession &session_;
    QString lastAccountPath_;
    QString statusText_;
    quint32 statusColor_ = kRed;
    Focus focus_ = Focus::Account;
    Outcome outcome_ = Outcome::NotTried;
    std::function<qint64()> clock_;
};

} // namespace quarvel
