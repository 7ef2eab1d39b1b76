#include "net/ServerSession.h"

#include "net/HostAddress.h"
#include "net/LocaleId.h"
#include "net/LoginReply.h"
#include "text/Gbk.h"

namespace quarvel {

ServerSession::ServerSession() : localeId_(LocaleId::system())
{
}

void ServerSession::configure(const QByteArray &host, const QString &siteCode)
{
    configuredHost_ = host;
    siteCode_ = siteCode;
}

QByteArray ServerSession::CurrentServerHost() const
{
    return redirectHost_.isEmpty() ? configuredHost_ : redirectTarget(redirectHost_);
}

QByteArray ServerSession::redirectTarget(const QByteArray &address) const
{
    return address + HostAddress::portSuffix(configuredHost_);
}

QString ServerSession::defaultLine(DefaultLine line) const
{
    return Gbk::toUnicode(defaultLines_[line]);
}

void ServerSession::applyLogin(const LoginReply &reply, const QString &account, const QString &password)
{
    clientId_ = reply.clientId;
    sessionNumber_ = reply.sessionNumber;
    uploadTarget_ = reply.uploadTarget;
    defaultsPresent_ = reply.defaultsPresent;
    for (int i = 0; i < kDefaultLines; ++i)
        if (reply.lines[i])
            defaultLines_[i] = *reply.lines[i];
    account_ = account;
    password_ = password;
}

QString ServerSession::Caption(const QString &title) const
{
    if (loggedIn())
        return QStringLiteral("%1 - 已登入[%2 :: %3]").arg(title, account_).arg(clientId_);
    return QStringLiteral("%1 - 离线状态").arg(title);
}

} // namespace quarvel
