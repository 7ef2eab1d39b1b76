#pragma once

#include "list/ListSnapshot.h"

#include <QDateTime>
#include <QString>

namespace quarvel {

class ExcelSession;
class Prompter;
class SpreadsheetEngine;

// Export of a record list to an Excel workbook: sheet "LIST", the title in
// A1, the time stamp in brackets in A2, the column captions in row 4 with
// the list's column widths, the rows from row 5. Cells of left-aligned
// columns stay text (a leading digit gets Excel's apostrophe, so waybill and
// telephone numbers keep their zeros); right-aligned columns are written as
// numbers. The rows go to the engine in large blocks, not cell by cell.
class ListExcelExport {
public:
    // Rows of one block write.
    static constexpr int kBlockRows = 2000;
    // Rows above the list in the sheet.
    static constexpr int kFirstRow = 5;

    ListExcelExport(SpreadsheetEngine *engine, Prompter &prompter);
    // Off when the save dialog has already asked about replacing the file.
    void setConfirmOverwrite(bool confirm) { confirmOverwrite_ = confirm; }

    // Writes the list to fileName and tells the operator the outcome
    // ("文件已经保存。" or the spreadsheet's error text). startedAt is the
    // time stamp, taken when the export starts.
    bool Export(const ListSnapshot &list, const QString &fileName,
                const QDateTime &startedAt = QDateTime::currentDateTime());

    // Why a list cannot go into one workbook (too many rows or columns);
    // empty when it can.
    static QString Refusal(const ListSnapshot &list);
    // Writes the list into the open workbook of a session.
    static void Fill(ExcelSession &session, const ListSnapshot &list, const QDateTime &startedAt);

    // The value written for one cell of a column.
    static QVariant CellValue(const QString &text, bool rightAligned);

private:
    SpreadsheetEngine *engine_;
    Prompter &prompter_;
    bool confirmOverwrite_ = true;
};

} // namespace quarvel
