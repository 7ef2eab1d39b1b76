#include "upload/UploadStatus.h"

#include "net/ReplyText.h"

namespace quarvel {

int UploadStatus::read(const QByteArray &reply)
{
    // The leading decimal number of the first line ("15 OK" is 15); a reply
    // that does not begin with one is no acceptance.
    qsizetype start = 0;
    while (start < reply.size() && (reply.at(start) == ' ' || reply.at(start) == '\t'))
        ++start;
    const qsizetype digits =
        start < reply.size() && (reply.at(start) == '+' || reply.at(start) == '-') ? start + 1 : start;
    if (digits >= reply.size() || reply.at(digits) < '0' || reply.at(digits) > '9')
        return 0;
    return ReplyText::integer(reply, start);
}

QString UploadStatus::text(UploadKind kind, int status)
{
    if (accepted(status))
        return {};
    if (status <= -9)
        return QStringLiteral("通讯错%1").arg(status);
    if (kind == UploadKind::Shipments) {
        switch (status) {
        case -1:
            return QStringLiteral("数据错误");
        case -2:
            return QStringLiteral("单号重复");
        default:
            return QStringLiteral("未知错误");
        }
    }
    switch (status) {
    case -2:
        return QStringLiteral("不存在");
    case -3:
        return QStringLiteral("已送达");
    default:
        return QStringLiteral("错误[%1]").arg(status);
    }
}

} // namespace quarvel
