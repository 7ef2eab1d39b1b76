#pragma once

#include "excel/ImportHeader.h"
#include "excel/SheetImportReport.h"

#include <QStringList>

#include <functional>

namespace quarvel {

class ExcelSession;

// The rules of one kind of import (contacts, pre-entry records), given to
// SheetImport, which reads the sheet and hands them the rows.
class SheetImportRules {
public:
    enum class RowResult { Written, Skipped, Refused, Failed };

    virtual ~SheetImportRules() = default;
    // The header texts looked for in row 1, columns 1 to their number.
    virtual const QList<ImportColumn> &columns() const = 0;
    // Empty when the header has what the import needs, else the refusal.
    virtual QString checkHeader(const ImportHeader &header) = 0;
    // The header whose empty cell ends the import after lastRowWithoutKey().
    virtual int keyColumn() const = 0;
    virtual int lastRowWithoutKey() const = 0;
    // One row: the cell texts by header (empty where the header has no
    // column), untrimmed. Writes the record and notes in the report what
    // was skipped, incomplete or changed; a refusal sets the report's message.
    virtual RowResult importRow(int row, const QStringList &values, SheetImportReport &report) = 0;
    // The closing message after every row was read.
    virtual QString finishedText(int written) const = 0;
};

// Reads an import sheet and feeds its rows to the rules: the header row
// first, then the rows block by block (one call to the office per block),
// until the key cell of a row past the rules' limit is empty. Rows whose
// mapped cells are all empty are passed over silently; a cell holding a
// formula error skips its row. A sheet of more than kMaxRows rows is refused
// before anything is written. Progress is reported as rows go; the operator
// may stop between rows, and what was written stays written.
class SheetImport {
public:
    static constexpr int kMaxRows = 65536;
    static constexpr int kBlockRows = 1000;
    // Progress is reported every this many rows.
    static constexpr int kProgressStep = 25;
    // A cell text this long or longer is taken as empty (nothing the record
    // fields hold is so long); the rules note it for the operator.
    static constexpr int kLongText = 255;

    // The sheet row about to be read and the last row there can be; false stops the import.
    using Progress = std::function<bool(int row, int lastRow)>;

    SheetImport(ExcelSession &session, SheetImportRules &rules) : session_(session), rules_(rules) {}
    void setProgress(Progress progress) { progress_ = std::move(progress); }

    SheetImportReport Run(const QString &path);

    static QString MissingColumnsText(const QStringList &headers);
    static QString LongTextNote(qsizetype characters);
    // A cell's text without NUL characters: a stored field ends at its first
    // NUL, so a text checked with them would be stored shorter than checked.
    static QString CellText(const QString &cell);

private:
    bool open(const QString &path, int &rows);
    bool readRows(const ImportHeader &header, int lastRow);
    bool handleRow(const ImportHeader &header, int row, const QList<SheetCell> &cells);
    bool stopAt(int row, SheetImportReport::Outcome outcome, const QString &message);

    ExcelSession &session_;
    SheetImportRules &rules_;
    Progress progress_;
    SheetImportReport report_;
};

} // namespace quarvel
