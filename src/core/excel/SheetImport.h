#pragma once

#include "excel/ColumnMap.h"
#include "excel/ColumnMapForm.h"
#include "excel/ImportHeader.h"
#include "excel/ImportRow.h"
#include "excel/SheetImportReport.h"

#include <QStringList>

#include <functional>
#include <optional>

namespace quarvel {

class ExcelSession;
class ImportLayouts;

// The rules of one kind of import (contacts, pre-entry records), given to
// SheetImport, which reads the sheet and hands them the rows.
class SheetImportRules {
public:
    enum class RowResult { Written, Skipped, Failed };

    virtual ~SheetImportRules() = default;
    // What remembered column maps are kept under.
    virtual QString kind() const = 0;
    // The fields a sheet may have columns for, with their other headers.
    virtual const QList<ImportColumn> &columns() const = 0;
    // The refusal of a sheet that lacks a required column, before the sheet is named.
    virtual QString missingColumnsText() const = 0;
    // The header the rows are read by, once before the first row.
    virtual void takeHeader(const ImportHeader &header) = 0;
    // One row that is not blank: writes its record and counts it in the
    // report (written, incomplete) or skips it with its reason, and notes
    // what was taken otherwise than typed. Failed: the record could not be
    // written and the report's message says why; the import ends.
    virtual RowResult importRow(int row, const ImportRow &cells, SheetImportReport &report) = 0;
    // The closing message after every row was read.
    virtual QString finishedText(int written) const = 0;
};

// Reads an import file and feeds its rows to the rules. The header row is
// looked for in the first rows of each worksheet in turn: the first sheet
// whose row names at least two fields (or a layout the operator mapped
// before) is read, from the row below its header to the end of its used
// range, block by block (one call to the office per block). Every row is
// accounted for: blank rows are counted, every other row is written,
// written incomplete or skipped with its reason, so that the closing line
// adds up to the rows of the sheet. When required columns are missing, or a
// new layout has columns no field takes, the operator may complete the map
// (MapQuestion); a map given beforehand (--map) counts as the operator's.
// A sheet of more than kMaxRows rows is refused before anything is written.
// The operator may stop between rows; a file that disappears or changes
// under the import ends it; what was written stays written.
class SheetImport {
public:
    static constexpr int kMaxRows = 65536;
    // Columns beyond Excel 97's last are not read (a stray cell far right).
    static constexpr int kMaxColumns = 256;
    static constexpr int kBlockRows = 1000;
    // The header is looked for in this many rows at the top of a sheet.
    static constexpr int kHeaderRows = 10;
    // Progress is reported (and the file checked) every this many rows.
    static constexpr int kProgressStep = 25;

    // The sheet row about to be read and the last row there is; false stops the import.
    using Progress = std::function<bool(int row, int lastRow)>;
    // Shows the operator the column map to complete; false cancels the import.
    using MapQuestion = std::function<bool(ColumnMapForm &form)>;

    SheetImport(ExcelSession &session, SheetImportRules &rules) : session_(session), rules_(rules) {}
    void setProgress(Progress progress) { progress_ = std::move(progress); }
    void setMapQuestion(MapQuestion question) { question_ = std::move(question); }
    // The operator's map given with the command.
    void setColumnMap(const ColumnMap &map) { given_ = map; }
    // Where maps are remembered per layout; remember false only looks them up (a dry run).
    void setLayouts(ImportLayouts *layouts, bool remember = true)
    {
        layouts_ = layouts;
        remember_ = remember;
    }

    SheetImportReport Run(const QString &path);

    static QString MissingColumnsText(const QStringList &headers);

private:
    struct Block {
        bool ok = false;
        SheetBlock cells;
    };
    struct Candidate {
        int sheet = -1;
        QString name;
        int row = 0;
        int rows = 0;
        int columns = 0;
        int score = -1;
        QList<SheetCell> cells;
    };

    bool open(const QString &path);
    bool findHeader(Candidate &chosen);
    bool scanSheet(int index, const QString &name, Candidate &best);
    std::optional<ColumnMap> remembered(const ImportHeader &header) const;
    std::optional<ImportHeader> settleHeader(const Candidate &found);
    bool askForMap(const Candidate &found, ImportHeader &header, ColumnMap &map);
    void noteHeader(const ImportHeader &header);
    bool readRows(const ImportHeader &header, const Candidate &found);
    bool rowAllowed(int row, int lastRow);
    void handleRow(const ImportHeader &header, int row, const QList<SheetCell> &cells);
    bool stopAt(int row, SheetImportReport::Outcome outcome, const QString &message);

    ExcelSession &session_;
    SheetImportRules &rules_;
    Progress progress_;
    MapQuestion question_;
    ColumnMap given_;
    ImportLayouts *layouts_ = nullptr;
    bool remember_ = true;
    SheetImportReport report_;
    bool failed_ = false;
    QString path_;
    QByteArray stamp_;
};

} // namespace quarvel
