#include "app/ScriptedPrompter.h"

#include <QStringList>

namespace quarvel {

bool ScriptedPrompter::ask(const QString &caption, const QString &text)
{
    record(Kind::Ask, caption, text);
    if (answers_.empty())
        return defaultAnswer_;
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

QStringList ScriptedPrompter::texts() const
{
    QStringList all;
    for (const Shown &s : shown_)
        all << s.text;
    return all;
}

void ScriptedPrompter::record(Kind kind, const QString &title, const QString &text)
{
    shown_.append({kind, title, text});
}

} // namespace quarvel
