#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace quarvel {

// What one spreadsheet import did: how it ended, which sheet and header row
// it read, and what became of every data row below the header: written
// complete, written incomplete, skipped or blank, adding up to the data
// rows of the sheet. One line per row skipped, written incomplete or taken
// with a change, with the sheet's row number, lets the operator follow up
// every row that did not come in as typed.
class SheetImportReport {
public:
    enum class Outcome {
        NotStarted, // the file or its header refused, or the operator cancelled, before any row
        Finished,   // every row was read
        Stopped,    // the operator stopped it
        Failed,     // the file could not be read further or a record not written
    };
    enum class Kind { Skipped, Incomplete, Changed };
    struct Line {
        // Row 0 stands for the header.
        int row;
        Kind kind;
        // What the row is about: its waybill number or name, or the column.
        QString what;
        QString why;
    };

    Outcome outcome = Outcome::NotStarted;
    QString file;
    bool dryRun = false;
    // The operator cancelled at the column map: nothing to show.
    bool cancelled = false;
    QString sheet;
    int headerRow = 0;
    // Required fields the header has no column for (the import was refused).
    QStringList missing;
    // Rows below the header up to the end of the used range.
    int firstDataRow = 0;
    int lastDataRow = 0;
    int written = 0;
    // Of the written, those locked as incomplete.
    int incomplete = 0;
    int skipped = 0;
    int blank = 0;
    // The first sheet row that was not looked at when the import ended early.
    int stopRow = 0;
    // The closing message ("本次导入共成功写入%d条名录。" and the account of
    // the rows, or why the import did not run or ended early).
    QString message;
    QList<Line> lines;

    void add(int row, Kind kind, const QString &what, const QString &why);
    int dataRows() const
    {
        return lastDataRow >= firstDataRow && firstDataRow > 0 ? lastDataRow - firstDataRow + 1 : 0;
    }
    // "表中数据600行(第3行至第602行):完整写入580条,不完整写入5条,跳过10行,空行5行。"
    QString Accounting() const;
    // The closing message belongs in an error box (nothing or not all came in).
    bool isError() const;
    // "ROW\twhat\twhy" for every skipped or incomplete row.
    QStringList rowLines() const;
    // The summary as the operator reads and saves it.
    QString Text() const;
    // Writes Text() as UTF-8 (with a byte-order mark) and Windows line ends; false with the reason.
    bool SaveText(const QString &path, QString *error) const;

    static QString KindText(Kind kind);
};

} // namespace quarvel
