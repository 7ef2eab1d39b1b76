#pragma once

#include "excel/SheetCell.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace quarvel {

// One open workbook of a SpreadsheetEngine. Rows and columns count from 1 and
// address the first worksheet, or for reading the one chosen with selectSheet. Texts are literal: the engine stores
// exactly the characters given, as text, never as a number or a formula. Every operation returns false on failure and
// leaves the reason in errorText().
class SpreadsheetDocument {
public:
    virtual ~SpreadsheetDocument() = default;

    // Renames the first worksheet; the name has been checked by the caller.
    virtual bool renameSheet(const QString &name) = 0;
    virtual bool setText(int row, int column, const QString &text) = 0;
    // A rectangle of cells from (row, column), row by row: a QString is
    // written as text, a number as a number, a null QVariant empties the cell.
    virtual bool setBlock(int row, int column, const QList<QList<QVariant>> &cells) = 0;
    // The cell's value as text; numbers as the spreadsheet converts them.
    virtual bool cellText(int row, int column, QString &text) = 0;
    // The names of the worksheets, in their order.
    virtual bool sheetNames(QStringList &names)
    {
        names = {QStringLiteral("Sheet1")};
        return true;
    }
    // cellText, usedExtent and readBlock address this worksheet (0 is the first) from now on.
    virtual bool selectSheet(int index) { return index == 0; }
    // The only columns whose numbers readBlock gives with what the sheet
    // shows (SheetCell::shown); every column until this is called.
    virtual bool setShownColumns(const QList<int> &columns)
    {
        (void)columns;
        return true;
    }
    // How far the worksheet is used: the last used row and column
    // (both 0 for an empty sheet).
    virtual bool usedExtent(int &rows, int &columns) = 0;
    // The values of rows x columns cells from (row, column) in one
    // operation, row by row; cells beyond the used area come back empty.
    virtual bool readBlock(int row, int column, int rows, int columns, SheetBlock &cells) = 0;
    // Width in Excel's unit: how many digits "0" of the standard font fit.
    virtual bool setColumnWidth(int column, int characters) = 0;
    virtual bool merge(int firstRow, int firstColumn, int lastRow, int lastColumn) = 0;
    // Pages fromPage..toPage of the first worksheet as a PDF file.
    virtual bool exportPdf(const QString &pdfPath, int fromPage, int toPage) = 0;
    // Writes the workbook to path, in the format its extension names (.xls: Excel 97).
    virtual bool save(const QString &path) = 0;
    // Closes without saving; the document is unusable afterwards.
    virtual void close() = 0;
    virtual QString errorText() const = 0;
};

} // namespace quarvel
