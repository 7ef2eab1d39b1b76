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

Prompter::SaveChoice ScriptedPrompter::askSave(const QString &caption, const QString &text)
{
    record(Kind::Ask, caption, text);
    if (saveChoices_.empty())
        return SaveChoice::Discard;
    const SaveChoice choice = saveChoices_.front();
    saveChoices_.pop_front();
    return choice;
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
