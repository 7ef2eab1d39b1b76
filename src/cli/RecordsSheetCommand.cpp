#include "RecordsSheetCommand.h"

#include "Cli.h"
#include "SheetImportCommand.h"
#include "preinput/PreInputImport.h"

#include <QTemporaryDir>

namespace quarvel {

bool RecordsSheetCommand::handles(const QStringList &args)
{
    return !args.isEmpty() &&
           (args.first() == QLatin1String("import") || args.first() == QLatin1String("export-header"));
}

int RecordsSheetCommand::run(Cli &cli, const QStringList &args)
{
    return args.first() == QLatin1String("import") ? importSheet(cli, args.mid(1)) : exportHeader(cli, args.mid(1));
}

int RecordsSheetCommand::importSheet(Cli &cli, const QStringList &args)
{
    SheetImportCommand::Arguments a;
    if (const int code = SheetImportCommand::parseImport(QStringLiteral("records"), args, a); code != Cli::Done)
        return code;
    ClientContext *context = cli.context(a.dryRun ? RecordFile::Mode::ReadOnly : RecordFile::Mode::ReadWrite);
    if (!context)
        return Cli::Failed;
    // Logged in, generated waybill numbers carry the client id.
    if (const int code = cli.wantsLogin() ? cli.logIn(*context) : Cli::Done; code != Cli::Done)
        return code;
    const PreInputImport::Setting setting{context->baseData(), context->settings(),
                                          context->session().loggedIn() ? context->session().clientId() : 0};
    if (!a.dryRun) {
        PreInputImport rules(context->preInputs(), setting);
        return SheetImportCommand::run(*context, a, rules);
    }
    // A dry run imports into a copy of the records, so that it meets exactly
    // what a real import would (duplicates, generated numbers).
    QTemporaryDir scratch;
    PreInputFile copy;
    if (!scratch.isValid() || !SheetImportCommand::openScratch(*context, QStringLiteral("DATA/recinput.dat"),
                                                               scratch.path(), copy, sizeof(PreInputRecord)))
        return Cli::Failed;
    PreInputImport rules(copy, setting);
    return SheetImportCommand::run(*context, a, rules);
}

int RecordsSheetCommand::exportHeader(Cli &cli, const QStringList &args)
{
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    return SheetImportCommand::exportHeader(cli, *context, args, PreInputImport::SheetName(),
                                            PreInputImport::FileName(), PreInputImport::ExportColumns());
}

} // namespace quarvel
