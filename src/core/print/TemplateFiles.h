#pragma once

#include "print/TemplateKind.h"

#include <QString>
#include <QStringList>

namespace quarvel {

// The template files of DATA_MODEL: pairs of a ".txt" definition and an
// ".xls" spreadsheet named prefix + template name. File names are matched
// without regard to case, as the Windows folders they come from are, so a
// template downloaded or copied in another case is still found.
class TemplateFiles {
public:
    // The file of that name in the folder, matched without regard to case (an
    // exact match first); the exact path when none exists.
    static QString Find(const QString &folder, const QString &fileName);
    static QString DefinitionPath(const QString &folder, TemplateKind kind, const QString &name);
    static QString SpreadsheetPath(const QString &folder, TemplateKind kind, const QString &name);
    // The names the choice dialog offers for a kind: every ".xls" with the
    // kind's prefix whose ".txt" can be read, upper-cased, without prefix and
    // extension, sorted (the folder's own order differs between systems).
    static QStringList Available(const QString &folder, TemplateKind kind);
    // Copies every file of `from` that `to` does not hold yet (by name, without
    // regard to case); files already there are never touched. The number copied.
    static int CopyMissing(const QString &from, const QString &to);
};

} // namespace quarvel
