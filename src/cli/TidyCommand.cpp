#include "TidyCommand.h"

#include "Cli.h"
#include "preinput/WaybillTidy.h"

namespace quarvel {

int TidyCommand::run(Cli &cli, const QStringList &args)
{
    if (!args.isEmpty())
        return Cli::usage(QStringLiteral("tidy: no arguments expected"));
    ClientContext *context = cli.context();
    if (!context)
        return Cli::Failed;
    if (const int code = cli.logIn(*context); code != Cli::Done)
        return code;
    for (const WaybillTidy::Change &c : WaybillTidy::TidyAll(context->preInputs(), context->session().clientId()))
        Cli::out(QStringLiteral("%1\t%2\n").arg(c.id).arg(c.number));
    return Cli::Done;
}

} // namespace quarvel
