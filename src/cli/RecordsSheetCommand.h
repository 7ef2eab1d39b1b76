#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl records import FILE [--dry-run] and records export-header
// [PATH]: the pre-entry records' spreadsheet import and its header sheet.
class RecordsSheetCommand {
public:
    // Whether the subcommand (args.first()) is one of these.
    static bool handles(const QStringList &args);
    static int run(Cli &cli, const QStringList &args);

private:
    static int importSheet(Cli &cli, const QStringList &args);
    static int exportHeader(Cli &cli, const QStringList &args);
};

} // namespace quarvel
