#include "scan/EchoPrompter.h"

namespace quarvel {

void EchoPrompter::error(const QString &title, const QString &text)
{
    last_ = text;
    if (target_)
        target_->error(title, text);
}

void EchoPrompter::warning(const QString &title, const QString &text)
{
    last_ = text;
    if (target_)
        target_->warning(title, text);
}

void EchoPrompter::inform(const QString &title, const QString &text)
{
    last_ = text;
    if (target_)
        target_->inform(title, text);
}

bool EchoPrompter::ask(const QString &caption, const QString &text)
{
    last_ = text;
    return target_ && target_->ask(caption, text);
}

Prompter::SaveChoice EchoPrompter::askSave(const QString &caption, const QString &text)
{
    last_ = text;
    return target_ ? target_->askSave(caption, text) : SaveChoice::Cancel;
}

} // namespace quarvel
