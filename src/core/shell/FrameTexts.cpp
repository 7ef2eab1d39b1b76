#include "shell/FrameTexts.h"

#include "app/ProgramVersion.h"

namespace quarvel {

QString FrameTexts::Clock(const QDateTime &time)
{
    static const char *const days[] = {"Sun.", "Mon.", "Tue.", "Wed.", "Thur.", "Fri.", "Sat."};
    const int weekday = time.date().dayOfWeek() % 7; // Qt counts Monday 1 .. Sunday 7
    return time.toString(QStringLiteral("yyyy.MM.dd HH:mm:ss ")) + QString::fromLatin1(days[weekday]);
}

QString FrameTexts::Caption(const QString &title, bool loggedIn, const QString &account, int customerNumber)
{
    if (loggedIn)
        return QStringLiteral("%1 - 已登入[%2 :: %3]").arg(title, account).arg(customerNumber);
    return QStringLiteral("%1 - 离线状态").arg(title);
}

QString FrameTexts::ListCaption(const QString &prefix, int rows)
{
    return QStringLiteral("%1  共 %2 条记录").arg(prefix).arg(rows);
}

QString FrameTexts::About(const QString &title, const QString &root)
{
    return QStringLiteral("%1\n快递管理系统客户端\n\n版本 %2\n数据目录 %3").arg(title, ProgramVersion::Text(), root);
}

} // namespace quarvel
