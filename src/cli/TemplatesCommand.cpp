#include "TemplatesCommand.h"

#include "Cli.h"
#include "print/TemplateDownload.h"
#include "print/TemplateFiles.h"

namespace quarvel {

namespace {

int list(ClientContext &context)
{
    for (const TemplateKind kind : TemplateKinds::kAll) {
        const PrintTemplate *loaded = context.templates().slot(kind);
        for (const QString &name : TemplateFiles::Available(context.modelFolder(), kind)) {
            const bool current = loaded && loaded->name().compare(name, Qt::CaseInsensitive) == 0;
            Cli::out(QStringLiteral("%1\t%2%3\n")
                         .arg(TemplateKinds::KindName(kind), name, current ? QStringLiteral("\t*") : QString()));
        }
    }
    return Cli::Done;
}

} // namespace

int TemplatesCommand::run(Cli &cli, const QStringList &args)
{
    const QString what = args.value(0);
    if (args.size() != 1 || (what != QLatin1String("list") && what != QLatin1String("download")))
        return Cli::usage(QStringLiteral("templates: list or download expected"));
    ClientContext *context = cli.context();
    if (!context)
        return Cli::Failed;
    if (what == QLatin1String("list"))
        return list(*context);
    const TemplateDownload::Result r =
        TemplateDownload::Run(context->session(), context->modelFolder(), {}, context->templates().workbookCheck());
    if (r.stored < 0) {
        cli.prompter().error(QString(), r.message);
        return Cli::Failed;
    }
    Cli::out(r.message + u'\n');
    return Cli::Done;
}

} // namespace quarvel
