#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace quarvel {

// What one spreadsheet import did: how it ended, how many rows it wrote
// (and how many of those incomplete), and one line per row it skipped,
// wrote incomplete or took with a change, with the sheet's row number, so
// that the operator can see, save and follow up every row that did not come
// in as typed.
class SheetImportReport {
public:
    enum class Outcome {
        NotStarted, // the file, its header or its size refused before any row
        Finished,   // every row was read
        Refused,    // a value broke its limit: the import ended at that row
        Stopped,    // the operator stopped it
        Failed,     // the sheet could not be read further or a record not written
    };
    enum class Kind { Skipped, Incomplete, Changed, Refused };
    struct Line {
        // Row 0 stands for the header row.
        int row;
        Kind kind;
        // What the row is about: its waybill number or name, or the field.
        QString what;
        QString why;
    };

    Outcome outcome = Outcome::NotStarted;
    QString file;
    bool dryRun = false;
    int written = 0;
    int incomplete = 0;
    int skipped = 0;
    // The first sheet row that was not looked at when the import ended early.
    int stopRow = 0;
    // The closing message ("本次导入共成功写入%d条名录。", a refusal, ...).
    QString message;
    QList<Line> lines;

    void add(int row, Kind kind, const QString &what, const QString &why);
    // The closing message belongs in an error box (nothing or not all came in).
    bool isError() const;
    // "ROW\twhat\twhy" for every skipped, incomplete or refused row.
    QStringList rowLines() const;
    // The summary as the operator reads and saves it.
    QString Text() const;
    // Writes Text() as UTF-8 (with a byte-order mark) and Windows line ends; false with the reason.
    bool SaveText(const QString &path, QString *error) const;

    static QString KindText(Kind kind);
};

} // namespace quarvel
