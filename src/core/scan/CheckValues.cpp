#include "scan/CheckValues.h"

namespace quarvel {

QStringList CheckValues::versionNames()
{
    return {QStringLiteral("中文"), QStringLiteral("英文"), QStringLiteral("双语")};
}

QStringList CheckValues::categoryNames()
{
    return {QStringLiteral("到站"), QStringLiteral("出站"), QStringLiteral("派送"), QStringLiteral("签收"),
            QStringLiteral("异常")};
}

QStringList CheckValues::exceptionNames()
{
    return {QStringLiteral("选择状态"), QStringLiteral("超时"), QStringLiteral("扣关"),     QStringLiteral("地址错误"),
            QStringLiteral("快件丢失"), QStringLiteral("退件"), QStringLiteral("其它异常"), QStringLiteral("销毁")};
}

QString CheckValues::KindName(int kind)
{
    const QStringList names = categoryNames();
    return kind >= 0 && kind < names.size() ? names.at(kind) : QString::number(kind);
}

} // namespace quarvel
