#include "net/LoginReply.h"

#include "net/ReplyText.h"

namespace quarvel {

namespace {

// The number at `at`, then the one separator character after it.
int numberThenSeparator(const QByteArray &reply, qsizetype &at)
{
    qsizetype end = at;
    const int value = ReplyText::integer(reply, at, &end);
    at = end + 1;
    return value;
}

} // namespace

LoginReply LoginReply::parse(const QByteArray &reply)
{
    LoginReply r;
    r.status = ReplyText::integer(reply);
    if (r.status < 0)
        return r;
    // The status is one digit and one separator; the three numbers follow.
    qsizetype at = 2;
    r.clientId = numberThenSeparator(reply, at);
    r.sessionNumber = numberThenSeparator(reply, at);
    r.uploadTarget = numberThenSeparator(reply, at);
    if (r.status == 0)
        return r;
    r.defaultsPresent = true;
    qsizetype lineStart = ReplyText::find(reply, '\n');
    for (int i = 0; i < int(kLineLimits.size()) && lineStart >= 0; ++i) {
        const qsizetype end = ReplyText::find(reply, '\n', lineStart + 1);
        if (end < 0)
            break;
        const QByteArray line = reply.mid(lineStart + 1, end - lineStart - 1);
        if (line.size() >= kLineLimits[i])
            break;
        if (i == 0 || !line.isEmpty())
            r.lines[i] = line;
        lineStart = end;
    }
    return r;
}

QString LoginReply::refusalText() const
{
    switch (status) {
    case -1:
        return QStringLiteral("网站不存在。");
    case -2:
        return QStringLiteral("帐号不存在。");
    case -4:
        return QStringLiteral("密码不正确。");
    case -5:
        return QStringLiteral("帐号没有快件操作权限。");
    case -6:
        return QStringLiteral("本地系统时间错误，请核对订正。");
    default:
        return QStringLiteral("网站服务器错误。");
    }
}

} // namespace quarvel
