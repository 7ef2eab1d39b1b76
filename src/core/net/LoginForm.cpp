#include "net/LoginForm.h"

#include "app/Prompter.h"
#include "net/LastAccount.h"
#include "net/LoginReply.h"
#include "net/ServerLogin.h"
#include "net/ServerSession.h"
#include "text/CheckText.h"

#include <QDateTime>

namespace quarvel {

LoginForm::LoginForm(ServerSession &session, const QString &lastAccountPath)
    : session_(session), lastAccountPath_(lastAccountPath), clock_([] { return QDateTime::currentSecsSinceEpoch(); })
{
}

void LoginForm::Open()
{
    account = session_.account();
    password = session_.password();
    if (session_.loggedIn()) {
        statusText_ = QStringLiteral("状态：已登入成功！");
        statusColor_ = kGreen;
        focus_ = Focus::LoginButton;
        return;
    }
    statusText_ = QStringLiteral("状态：没有登入！");
    statusColor_ = kRed;
    account = LoadLastAccount(lastAccountPath_);
    focus_ = account.isEmpty() ? Focus::Account : Focus::Password;
}

bool LoginForm::Confirm(Prompter &prompter)
{
    outcome_ = Outcome::Refused;
    const std::optional<QByteArray> accountGbk = CheckText(account, 1, kMaxLength, QStringLiteral("帐号"), prompter);
    if (!accountGbk)
        return false;
    const std::optional<QByteArray> passwordGbk = CheckText(password, 0, kMaxLength, QStringLiteral("密码"), prompter);
    if (!passwordGbk)
        return false;

    QByteArray text;
    const int result = ServerLogin::send(session_, *accountGbk, *passwordGbk, clock_, text);
    if (result < 1)
        return refuse(prompter, QStringLiteral("与服务器连接失败[ Ret:%1]").arg(result), Outcome::NoConnection);
    const LoginReply reply = LoginReply::parse(text);
    if (!reply.accepted())
        return refuse(prompter, reply.refusalText(), Outcome::Refused);
    session_.applyLogin(reply, account, password);
    outcome_ = Outcome::LoggedIn;
    statusText_ = QStringLiteral("状态：已登入成功！");
    statusColor_ = kGreen;
    prompter.inform(QString(), QStringLiteral("登入验证成功！[%1]").arg(reply.uploadTarget));
    return true;
}

// A failed login keeps the session that was open: the refusal is shown as
// it stands, and the status line says which session is still in use instead
// of the green "logged in" of before.
bool LoginForm::refuse(Prompter &prompter, const QString &reason, Outcome outcome)
{
    outcome_ = outcome;
    statusColor_ = kRed;
    statusText_ =
        session_.loggedIn()
            ? QStringLiteral("状态：登入失败！仍使用原会话[%1 :: %2]").arg(session_.account()).arg(session_.clientId())
            : QStringLiteral("状态：没有登入！");
    prompter.error(QString(), reason);
    return false;
}

} // namespace quarvel
