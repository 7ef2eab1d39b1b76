#include "upload/UploadStatus.h"

#include "net/ReplyText.h"

namespace quarvel {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

} // namespace

int UploadStatus::read(const QByteArray &reply)
{
    // The number must stand on the first line: blanks, a sign, digits,
    // blanks, and nothing else before the line feed.
    qsizetype start = 0;
    while (start < reply.size() && (reply.at(start) == ' ' || reply.at(start) == '\t'))
        ++start;
    qsizetype end = 0;
    const int status = ReplyText::integer(reply, start, &end);
    qsizetype digits = 0;
    for (qsizetype i = start; i < end; ++i)
        digits += reply.at(i) >= '0' && reply.at(i) <= '9' ? 1 : 0;
    if (digits == 0 ||
        !(reply.at(start) == '+' || reply.at(start) == '-' || (reply.at(start) >= '0' && reply.at(start) <= '9')))
        return 0;
    for (qsizetype i = end; i < reply.size() && reply.at(i) != '\n'; ++i)
        if (!isBlank(reply.at(i)))
            return 0;
    return status;
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
