#include "BalanceCommand.h"

#include "Cli.h"
#include "net/BalanceQuery.h"

namespace quarvel {

int BalanceCommand::run(Cli &cli, const QStringList &args)
{
    if (!args.isEmpty())
        return Cli::usage(QStringLiteral("balance: no arguments expected"));
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    if (const int code = cli.logIn(*context); code != Cli::Done)
        return code;
    const BalanceQuery::Result r = BalanceQuery::Fetch(context->session());
    switch (r.outcome) {
    case BalanceQuery::Outcome::Shown:
        Cli::out(QString(r.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        return Cli::Done;
    case BalanceQuery::Outcome::Refused:
        cli.prompter().error(QString(), r.text);
        return Cli::Refused;
    case BalanceQuery::Outcome::NoConnection:
    case BalanceQuery::Outcome::Malformed:
        break;
    }
    cli.prompter().error(QString(), r.text);
    return Cli::Failed;
}

} // namespace quarvel
