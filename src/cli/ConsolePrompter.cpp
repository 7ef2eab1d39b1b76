#include "ConsolePrompter.h"

#include "app/SupportLog.h"

#include <cstdio>

namespace quarvel {

void ConsolePrompter::record(Kind kind, const QString &title, const QString &text)
{
    ScriptedPrompter::record(kind, title, text);
    if (kind == Kind::Ask)
        return;
    SupportLog::Process().Message(QStringLiteral("quarvelctl"), title, text);
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    while (line.endsWith(u'\n'))
        line.chop(1);
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
}

} // namespace quarvel
