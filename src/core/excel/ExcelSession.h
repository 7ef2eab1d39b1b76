#pragma once

#include "excel/PrintDestination.h"
#include "excel/SpreadsheetDocument.h"
#include "excel/SpreadsheetEngine.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include <atomic>
#include <memory>

namespace quarvel {

class ClientContext;
class Prompter;

// One workbook's spreadsheet work: open (a new workbook, a template's bytes
// or an existing file), write and read cells of the first worksheet, print,
// save, quit. The cell, print and save work is done by a SpreadsheetEngine;
// this class keeps the rules around it: preparing the target file with the
// overwrite question, Excel's text and width conventions, cell addresses,
// quitting once, and the error texts the caller shows.
//
// Any failure after a successful open is kept: later operations do nothing
// and return false, SaveAndClose saves nothing and returns false, and
// GetErrorText tells the first failure. So a caller may write all its cells
// and check only the result of SaveAndClose.
//
// Used by one thread at a time; destruction quits.
class ExcelSession {
public:
    // Excel 97 workbooks hold at most this many rows and columns.
    static constexpr int kMaxRows = 65536;
    static constexpr int kMaxColumns = 256;

    // tempFolder receives the PDFs of printed sheets when they go to a printer.
    ExcelSession(SpreadsheetEngine *engine, Prompter &prompter, const QString &tempFolder,
                 const PrintDestination &destination = PrintDestination());
    // The engine of the context, its DATA_TEMP and its configured print destination.
    ExcelSession(ClientContext &context, Prompter &prompter);
    ~ExcelSession();
    ExcelSession(const ExcelSession &) = delete;
    ExcelSession &operator=(const ExcelSession &) = delete;

    // Ask before replacing an existing file (set at construction). Only
    // OpenFromBytes honours a cleared flag; OpenNew always asks.
    void SetConfirmOverwrite(bool confirm) { confirmOverwrite_ = confirm; }

    // A workbook at path made from a copy of sourcePath (when it is given and
    // can be copied) or else a new empty one; its first sheet renamed to
    // sheetName unless that is empty. The office is headless, so visible has
    // no effect.
    bool OpenNew(const QString &sheetName, const QString &path, const QString &sourcePath = QString(),
                 bool visible = false);
    // As OpenNew, with the starting workbook given as spreadsheet bytes (a
    // template); empty bytes give a new empty workbook.
    bool OpenFromBytes(const QString &sheetName, const QString &path, const QByteArray &bytes, bool visible = false);
    // An existing workbook for reading; fails with "文件不存在。" before the office is started.
    bool OpenExisting(const QString &path);
    // As OpenExisting, for an import: the file is opened as what its content
    // shows (an HTML table or Excel 2003 XML saved as .xls, CSV in UTF-8 or
    // GBK); a file no format reads gets a message naming the file and the
    // formats tried.
    bool OpenForImport(const QString &path);
    // The names of the workbook's worksheets.
    bool GetSheetNames(QStringList &names);
    // GetUsedExtent, GetCells and GetCellText read this worksheet (0: the first) from now on.
    bool SelectSheet(int index);
    // Only these columns need what the sheet shows of their numbers (the
    // text fields of an import); it saves the office the work for the others.
    bool SetShownColumns(const QList<int> &columns);
    // Every column needs it again.
    bool SetShownColumnsAll();

    // Writes text as the cell's value, always as text. As in Excel, a leading
    // apostrophe is not stored: it only marks the rest as text.
    bool SetCellText(int row, int column, const QString &text);
    // A rectangle of cells from (row, column) in one operation, row by row:
    // QString values follow SetCellText's rule, numbers are written as
    // numbers, null values leave the cell empty. Short rows are padded.
    bool SetCells(int row, int column, const QList<QList<QVariant>> &rows);
    // The cell's value as text; empty on failure.
    QString GetCellText(int row, int column);
    // How far the first worksheet is used: its last used row and column
    // (0, 0 for an empty sheet). Imports size their reading by it.
    bool GetUsedExtent(int &rows, int &columns);
    // The values of a rectangle of cells in one operation, so that an import
    // reads a large sheet block by block rather than cell by cell.
    bool GetCells(int row, int column, int rows, int columns, SheetBlock &cells);
    // Column width from a pixel width: pixels / 8, rounded up, in Excel's unit.
    bool SetColumnWidth(int column, int pixels);
    bool MergeCells(int firstRow, int firstColumn, int lastRow, int lastColumn);
    // Prints pages fromPage..toPage of the first worksheet: the pages become a
    // PDF, which goes to the printer with the copies, or stays in the
    // destination folder, or with preview is opened in the desktop's viewer.
    bool PrintSheet(int fromPage, int toPage, int copies, bool preview);
    // Only makes the PDF of the pages (GetPrintedFile), where PrintSheet
    // would leave it; the caller hands it to the destination later.
    bool ExportSheet(int fromPage, int toPage);
    // The name of printed documents (their PDF file and printer job); the
    // workbook's file name when empty.
    void SetDocumentTitle(const QString &title) { title_ = title; }
    // Saves the workbook under its path and closes it.
    bool SaveAndClose();
    // Closes the workbook without saving; acts on the first call only.
    void Quit();
    QString GetErrorText() const { return errorText_; }
    // The PDF made by the last PrintSheet.
    QString GetPrintedFile() const { return printedFile_; }

    // "A3", "Z1", "AA7"; empty for a row or column below 1.
    // The message when no spreadsheet engine can be started.
    static QString CannotStartText();
    static QString CellAddress(int row, int column);
    // Excel's width unit for a pixel width of a list column.
    static int ColumnWidthForPixels(int pixels);
    // Why Excel would refuse the sheet name; empty when it is valid.
    static QString SheetNameProblem(const QString &name);

private:
    enum class State { Closed, Open, Failed, Ended };

    bool begin(const QString &path);
    bool open(const QString &sheetName, const QString &path, const QString &sourcePath, const QByteArray *bytes);
    // False when the bytes could not be written; `error` is the system's
    // reason then.
    bool placeStartingWorkbook(const QString &sourcePath, const QByteArray *bytes, bool &placed, int &error);
    bool startEngine();
    bool prepareTarget(bool ask);
    bool usable();
    bool checkCell(int row, int column);
    bool fail(const QString &text);
    bool failFromDocument();
    // A PDF file reserved for the print; empty with the reason when none could be.
    QString pdfPath(QString *reason) const;
    QString documentTitle() const;

    SpreadsheetEngine *engine_;
    Prompter &prompter_;
    QString tempFolder_;
    PrintDestination destination_;
    QString path_;
    bool confirmOverwrite_ = true;
    QString errorText_;
    QString printedFile_;
    QString title_;
    std::atomic<int> quitCount_{0};
    State state_ = State::Closed;
    std::unique_ptr<SpreadsheetDocument> document_;
};

} // namespace quarvel
