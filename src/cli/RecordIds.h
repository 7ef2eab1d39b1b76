#pragma once

#include <QList>
#include <QStringList>

#include <optional>

namespace quarvel {

class Prompter;
class RecordFile;

// The record arguments of the upload and pricing commands: "IID ..." or
// "--all" (every record of the file, in file order).
class RecordIds {
public:
    // The ids, or nothing (after the usage message: the command ends with
    // Cli::Usage) when an argument is neither a positive id nor --all alone.
    static std::optional<QList<int>> parse(const QStringList &args, const RecordFile &file, const QString &command);
    // The one record id of a show or delete command (options skipped); -1
    // when it is missing or not a positive number.
    static int single(const QStringList &args);
    // False, after naming them, when some of the ids have no record.
    static bool allKnown(const QList<int> &ids, const RecordFile &file, Prompter &prompter);
};

} // namespace quarvel
