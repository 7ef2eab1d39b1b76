#include "SheetImportCommand.h"

#include "Cli.h"
#include "excel/ExcelSession.h"
#include "excel/ImportHeaderFile.h"
#include "excel/ImportLayouts.h"
#include "excel/SheetImport.h"

#include <QFile>
#include <QFileInfo>

namespace quarvel {

int SheetImportCommand::parseImport(const QString &command, const QStringList &args, Arguments &out)
{
    out.command = command;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--dry-run"))
            out.dryRun = true;
        else if (a == QLatin1String("--map") && i + 1 < args.size())
            out.map = args.at(++i);
        else if (a.startsWith(QLatin1String("--map=")))
            out.map = a.mid(6);
        else if (a.startsWith(QLatin1String("--")) || !out.file.isEmpty())
            return Cli::usage(QStringLiteral("%1 import: unexpected argument %2").arg(command, a));
        else
            out.file = a;
    }
    if (out.file.isEmpty())
        return Cli::usage(QStringLiteral("%1 import: a spreadsheet file is needed").arg(command));
    // A file that is not there is the machine's matter, not the sheet's: it
    // is named before the office is started for it.
    const QFileInfo file(out.file);
    if (!file.isFile()) {
        Cli::err(QStringLiteral("文件不存在：%1\n").arg(file.absoluteFilePath()));
        return Cli::Failed;
    }
    if (!file.isReadable()) {
        Cli::err(QStringLiteral("文件不能读取：%1\n").arg(file.absoluteFilePath()));
        return Cli::Failed;
    }
    return Cli::Done;
}

int SheetImportCommand::run(ClientContext &context, const Arguments &arguments, SheetImportRules &rules)
{
    QString why;
    const std::optional<ColumnMap> map = ColumnMap::Parse(arguments.map, rules.columns(), &why);
    if (!map)
        return Cli::usage(QStringLiteral("%1 import: --map: %2").arg(arguments.command, why));
    // The import asks nothing; an ExcelSession still wants someone to ask.
    ScriptedPrompter silent(false);
    ExcelSession session(context, silent);
    ImportLayouts layouts(context.path(ImportLayouts::fileName()));
    SheetImport reader(session, rules);
    reader.setColumnMap(*map);
    // A dry run uses the maps kept, and keeps none.
    reader.setLayouts(&layouts, !arguments.dryRun);
    SheetImportReport report = reader.Run(QFileInfo(arguments.file).absoluteFilePath());
    report.dryRun = arguments.dryRun;
    QString unflushed;
    const bool flushed = arguments.dryRun || context.FlushRecords(&unflushed);
    QString message = report.message;
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (!report.missing.isEmpty())
        message += QStringLiteral("\n可以用 --map \"表头=字段,...\" 指出哪一列是%1。").arg(report.missing.join(u'、'));
    if (report.isError())
        Cli::err(message + u'\n');
    else
        Cli::out(message + u'\n');
    for (const QString &line : report.rowLines())
        Cli::out(line + u'\n');
    if (!flushed) {
        // The rows are in the file but not surely on the disk: a power cut
        // may take them, so the import is not reported as done.
        Cli::err(QStringLiteral("导入的%1条记录没能确认写到磁盘上：%2\n").arg(report.written).arg(unflushed));
        return Cli::Failed;
    }
    return exitCode(report);
}

int SheetImportCommand::exitCode(const SheetImportReport &report)
{
    switch (report.outcome) {
    case SheetImportReport::Outcome::Finished:
    case SheetImportReport::Outcome::Stopped:
        return Cli::Done;
    case SheetImportReport::Outcome::Failed:
        return Cli::Failed;
    case SheetImportReport::Outcome::NotStarted:
        break;
    }
    // Only a missing office is the machine's fault; every other refusal is the sheet's.
    return report.message == ExcelSession::CannotStartText() ? Cli::Failed : Cli::Refused;
}

bool SheetImportCommand::openScratch(ClientContext &context, const QString &relative, const QString &folder,
                                     RecordFile &file, int recordSize)
{
    const QString copy = folder + u'/' + QFileInfo(relative).fileName();
    const QString original = context.path(relative);
    if (QFileInfo::exists(original) && !QFile::copy(original, copy)) {
        Cli::err(QStringLiteral("无法复制%1用于试运行。\n").arg(original));
        return false;
    }
    if (!file.OpenFile(copy, recordSize)) {
        Cli::err(file.errorText() + u'\n');
        return false;
    }
    return true;
}

int SheetImportCommand::exportHeader(Cli &cli, ClientContext &context, const QStringList &args,
                                     const QString &sheetName, const QString &fileName,
                                     const QList<ImportColumn> &columns)
{
    QString path;
    for (const QString &a : args) {
        if (a.startsWith(QLatin1String("--")) || !path.isEmpty())
            return Cli::usage(QStringLiteral("export-header: unexpected argument %1").arg(a));
        path = a;
    }
    if (path.isEmpty())
        path = ImportHeaderFile::DefaultPath(context.path(QStringLiteral("DATA_TEMP")), fileName);
    path = QFileInfo(path).absoluteFilePath();
    ExcelSession session(context, cli.prompter());
    if (!ImportHeaderFile::Export(session, cli.prompter(), sheetName, path, columns))
        return Cli::Failed;
    Cli::out(path + u'\n');
    return Cli::Done;
}

} // namespace quarvel
