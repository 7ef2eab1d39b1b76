#include "ConfigCommand.h"

#include "Cli.h"

namespace quarvel {

int ConfigCommand::run(Cli &cli, const QStringList &args)
{
    if (args.isEmpty())
        return Cli::usage(QStringLiteral("config: a subcommand is needed"));
    if (args.first() == QLatin1String("set"))
        return set(cli, args.mid(1));
    if (args.first() == QLatin1String("show"))
        return args.size() == 1 ? show(cli) : Cli::usage(QStringLiteral("config show: no arguments expected"));
    return Cli::usage(QStringLiteral("config: unknown subcommand %1").arg(args.first()));
}

int ConfigCommand::set(Cli &cli, const QStringList &args)
{
    if (args.size() != 2)
        return Cli::usage(QStringLiteral("config set: host|site VALUE"));
    const QString &key = args.at(0);
    if (key != QLatin1String("host") && key != QLatin1String("site"))
        return Cli::usage(QStringLiteral("config set: unknown setting %1").arg(key));
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    ServerConfig &config = context->config();
    const QString reason = key == QLatin1String("host") ? config.setHost(args.at(1)) : config.setSite(args.at(1));
    if (!reason.isEmpty()) {
        cli.prompter().error(QString(), reason);
        return Cli::Refused;
    }
    if (!config.Save()) {
        cli.prompter().error(QString(),
                             QStringLiteral("配置文件写入失败：%1").arg(context->path(ServerConfig::fileName())));
        return Cli::Failed;
    }
    return Cli::Done;
}

int ConfigCommand::show(Cli &cli)
{
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    Cli::out(QStringLiteral("host=%1\nsite=%2\n").arg(context->config().host(), context->config().site()));
    return Cli::Done;
}

} // namespace quarvel
