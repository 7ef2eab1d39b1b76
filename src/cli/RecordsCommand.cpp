#include "RecordsCommand.h"

#include "Cli.h"

#include <QJsonArray>
#include <QJsonDocument>

#include "text/Gbk.h"

namespace quarvel {

int RecordsCommand::run(Cli &cli, const QStringList &args)
{
    if (args.isEmpty())
        return Cli::usage(QStringLiteral("records: a subcommand is needed"));
    if (args.first() == QLatin1String("list"))
        return list(cli, args.mid(1));
    return Cli::usage(QStringLiteral("records: unknown subcommand %1").arg(args.first()));
}

int RecordsCommand::list(Cli &cli, const QStringList &args)
{
    const bool json = args.contains(QLatin1String("--json"));
    // A listing only reads, so it may run beside the window holding the files.
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    PreInputFile &file = context->preInputs();
    if (json) {
        QJsonArray all;
        for (int i = 0; i < file.GetCount(); ++i)
            all.append(RecordField::toJson(file.At(i), PreInputRecord::fields()));
        Cli::out(QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Indented)));
        return Cli::Done;
    }
    for (int i = 0; i < file.GetCount(); ++i) {
        const PreInputRecord *r = file.At(i);
        Cli::out(QStringLiteral("%1\t%2\t%3\t%4\n")
                     .arg(r->iid)
                     .arg(Gbk::field(r->cnum), Gbk::field(r->cdes), Gbk::field(r->creceiver)));
    }
    return Cli::Done;
}

} // namespace quarvel
