#include "PhrasesCommand.h"

#include "Cli.h"
#include "app/PromptPhrasesForm.h"

namespace quarvel {

int PhrasesCommand::run(Cli &cli, const QStringList &args)
{
    const QString sub = args.value(0);
    if (sub == QLatin1String("list"))
        return list(cli, args.mid(1));
    if (sub == QLatin1String("add") || sub == QLatin1String("delete"))
        return edit(cli, args.mid(1), sub == QLatin1String("add"));
    return Cli::usage(sub.isEmpty() ? QStringLiteral("phrases: a subcommand is needed")
                                    : QStringLiteral("phrases: unknown subcommand %1").arg(sub));
}

int PhrasesCommand::list(Cli &cli, const QStringList &args)
{
    if (!args.isEmpty())
        return Cli::usage(QStringLiteral("phrases list: no arguments expected"));
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    for (const QString &phrase : context->promptPhrases().phrases())
        Cli::out(phrase + u'\n');
    return Cli::Done;
}

int PhrasesCommand::edit(Cli &cli, const QStringList &args, bool add)
{
    if (args.isEmpty())
        return Cli::usage(QStringLiteral("phrases %1: a phrase is needed")
                              .arg(add ? QStringLiteral("add") : QStringLiteral("delete")));
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    PromptPhrasesForm form(*context);
    // Every phrase is checked before anything is written.
    for (const QString &phrase : args) {
        const QString refusal = add ? form.Add(phrase) : form.Delete(phrase);
        if (!refusal.isEmpty()) {
            cli.prompter().error(QString(), refusal);
            return Cli::Refused;
        }
    }
    return form.Submit(cli.prompter()) ? Cli::Done : Cli::Failed;
}

} // namespace quarvel
