#include "SettingsCommand.h"

#include "Cli.h"
#include "app/SettingsFields.h"
#include "app/SettingsForm.h"

#include <QJsonDocument>

namespace quarvel {

int SettingsCommand::run(Cli &cli, const QStringList &args)
{
    const QString sub = args.value(0);
    if (sub == QLatin1String("show"))
        return show(cli, args.mid(1));
    if (sub == QLatin1String("set"))
        return set(cli, args.mid(1));
    return Cli::usage(sub.isEmpty() ? QStringLiteral("settings: a subcommand is needed")
                                    : QStringLiteral("settings: unknown subcommand %1").arg(sub));
}

int SettingsCommand::show(Cli &cli, const QStringList &args)
{
    const bool json = args == QStringList{QStringLiteral("--json")};
    if (!args.isEmpty() && !json)
        return Cli::usage(QStringLiteral("settings show: only --json expected"));
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    const ProgramSettings &s = context->settings();
    Cli::out(json ? QString::fromUtf8(QJsonDocument(SettingsFields::Json(s)).toJson(QJsonDocument::Indented))
                  : SettingsFields::Show(s));
    return Cli::Done;
}

int SettingsCommand::set(Cli &cli, const QStringList &args)
{
    if (args.isEmpty())
        return Cli::usage(
            QStringLiteral("settings set: NAME=VALUE expected (%1)").arg(SettingsFields::Names().join(u' ')));
    for (const QString &arg : args)
        if (arg.indexOf(u'=') <= 0 || !SettingsFields::Names().contains(arg.left(arg.indexOf(u'='))))
            return Cli::usage(QStringLiteral("settings set: NAME=VALUE with a setting expected (%1), got %2")
                                  .arg(SettingsFields::Names().join(u' '), arg));
    // The settings only need their file: the record files stay with whoever writes them.
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    SettingsForm form(*context);
    // Every value is checked before anything is written.
    for (const QString &arg : args) {
        const qsizetype eq = arg.indexOf(u'=');
        QString reason;
        if (SettingsFields::Set(form.values, arg.left(eq), arg.mid(eq + 1), reason) != SettingsFields::Result::Set) {
            cli.prompter().error(QString(), reason);
            return Cli::Refused;
        }
    }
    return form.Confirm(cli.prompter()) ? Cli::Done : Cli::Failed;
}

} // namespace quarvel
