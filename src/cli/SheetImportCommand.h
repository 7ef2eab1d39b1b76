#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace quarvel {

class Cli;
class ClientContext;
class RecordFile;
class SheetImportReport;
class SheetImportRules;
struct ImportColumn;

// What `contacts import`, `records import` and their `export-header`
// commands share: running an import and printing its result, a scratch copy
// of a record file for --dry-run, and writing the header sheet.
class SheetImportCommand {
public:
    struct Arguments {
        QString command;
        QString file;
        bool dryRun = false;
        // --map "表头=字段,...": the operator's column map, kept for the sheet's layout.
        QString map;
    };

    // FILE [--dry-run] [--map TEXT] naming a readable file; Done, or the exit code after the message.
    static int parseImport(const QString &command, const QStringList &args, Arguments &out);
    // Imports the file with the rules and prints the closing message (stdout,
    // or the error on stderr) and then one "ROW\twhat\twhy" line per
    // skipped or incomplete row. Returns the exit code.
    static int run(ClientContext &context, const Arguments &arguments, SheetImportRules &rules);
    static int exitCode(const SheetImportReport &report);
    // A copy of the record file at `relative` in `folder`, opened as file, for a dry run.
    static bool openScratch(ClientContext &context, const QString &relative, const QString &folder, RecordFile &file,
                            int recordSize);
    // [PATH]: writes the header sheet there or to the default place; returns the exit code.
    static int exportHeader(Cli &cli, ClientContext &context, const QStringList &args, const QString &sheetName,
                            const QString &fileName, const QList<ImportColumn> &columns);
};

} // namespace quarvel
