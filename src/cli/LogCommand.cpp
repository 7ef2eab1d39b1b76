#include "LogCommand.h"

#include "Cli.h"
#include "app/SupportLog.h"

namespace quarvel {

int LogCommand::run(Cli &cli, const QStringList &args)
{
    int lines = 20;
    if (!args.isEmpty()) {
        bool ok = false;
        if (args.size() == 2 && args.first() == QLatin1String("--lines"))
            lines = args.at(1).toInt(&ok);
        if (!ok || lines < 1)
            return Cli::usage(QStringLiteral("log: --lines needs a number above 0"));
    }
    const SupportLog log(SupportLog::FolderOf(cli.rootFolder()));
    const QStringList tail = log.Tail(lines);
    if (tail.isEmpty()) {
        Cli::err(QStringLiteral("the log is empty: %1\n").arg(log.filePath()));
        return Cli::Done;
    }
    Cli::out(tail.join(u'\n') + u'\n');
    return Cli::Done;
}

} // namespace quarvel
