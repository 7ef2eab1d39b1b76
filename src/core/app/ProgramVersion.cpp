#include "app/ProgramVersion.h"

#include <QStringList>

#include <cstdio>

namespace quarvel {

QString ProgramVersion::Text()
{
    return QStringLiteral(QUARVEL_VERSION);
}

QString ProgramVersion::Line(const QString &program)
{
    return program + u' ' + Text();
}

bool ProgramVersion::AnswerInfoOption(const QString &program, const QString &usage, const QStringList &arguments)
{
    if (arguments.size() != 1)
        return false;
    const QString &a = arguments.first();
    QString text;
    if (a == QLatin1String("--version"))
        text = Line(program) + u'\n';
    else if (a == QLatin1String("--help") || a == QLatin1String("-h"))
        text = usage;
    else
        return false;
    std::fputs(text.toUtf8().constData(), stdout);
    return true;
}

} // namespace quarvel
