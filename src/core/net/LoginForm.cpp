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
    const std::optional<QByteArray> accountGbk = CheckText(account, 1, kMaxLength, QStringLiteral("帐号"), prompter);
    if (!accountGbk)
        return false;
    const std::optional<QByteArray> passwordGbk = CheckText(password, 0, kMaxLength, QStringLiteral("密码"), prompter);
    if (!passwordGbk)
        return false;

    QByteArray text;
    const int result = ServerLogin::send(session_, *accountGbk, *passwordGbk, clock_(), text);
    if (result < 1) {
        prompter.error(QString(), QStringLiteral("与服务器连接失败[ Ret:%1]").arg(result));
        return false;
    }
    const LoginReply reply = LoginReply::parse(text);
    if (!reply.accepted()) {
        prompter.error(QString(), reply.refusalText());
        return false;
    }
    session_.applyLogin(reply, account, password);
    prompter.inform(QString(), QStringLiteral("登入验证成功！[%1]").arg(reply.uploadTarget));
    return true;
}

} // namespace quarvel
