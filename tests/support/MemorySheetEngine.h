#pragma once

#include "excel/SpreadsheetEngine.h"

#include <QFile>
#include <QMap>
#include <QPair>
#include <QStringList>

#include <algorithm>
#include <utility>

// A spreadsheet engine whose one workbook lives in memory, for the rules of
// the imports and header exports. The same paths run against LibreOffice in
// tests/office.
class MemorySheetEngine : public quarvel::SpreadsheetEngine {
public:
    // The first worksheet, row by row from A1.
    quarvel::SheetBlock cells;
    QString firstName = QStringLiteral("Sheet1");
    // The worksheets after the first, with their names.
    QList<std::pair<QString, quarvel::SheetBlock>> moreSheets;
    // What open was asked to read the file as.
    quarvel::SheetFileFormat openedAs;
    // The used area as the office would report it, when it reaches beyond
    // the cells given (a stray value far down); 0: as the cells reach.
    int usedRows = 0;
    // Reading a block that starts at or after this row fails (the office died).
    int failFromRow = 0;
    QString openError;
    int blockReads = 0;
    // What a header export wrote: (row, column) -> text, column -> width, the saved path.
    QMap<QPair<int, int>, QString> written;
    QMap<int, int> widths;
    QString savedPath;

    // Appends a row of texts ("" leaves a cell empty).
    MemorySheetEngine &row(const QStringList &texts)
    {
        QList<quarvel::SheetCell> line;
        for (const QString &t : texts)
            line.append(t.isEmpty() ? quarvel::SheetCell() : quarvel::SheetCell::Text(t));
        cells.append(line);
        return *this;
    }
    // Sets one cell (rows and columns from 1), growing the sheet.
    MemorySheetEngine &set(int row, int column, const quarvel::SheetCell &cell)
    {
        while (cells.size() < row)
            cells.append(QList<quarvel::SheetCell>());
        QList<quarvel::SheetCell> &line = cells[row - 1];
        while (line.size() < column)
            line.append(quarvel::SheetCell());
        line[column - 1] = cell;
        return *this;
    }

    bool start(QString *) override { return true; }
    std::unique_ptr<quarvel::SpreadsheetDocument> create(const QString &path, QString *errorText) override;
    std::unique_ptr<quarvel::SpreadsheetDocument> open(const QString &path, Access access, QString *errorText) override;
    std::unique_ptr<quarvel::SpreadsheetDocument>
    openForImport(const QString &path, const quarvel::SheetFileFormat &format, QString *errorText) override
    {
        openedAs = format;
        return open(path, Access::Read, errorText);
    }
};

class MemorySheetDocument : public quarvel::SpreadsheetDocument {
public:
    explicit MemorySheetDocument(MemorySheetEngine &engine) : engine_(engine) {}

    bool renameSheet(const QString &) override { return true; }
    bool sheetNames(QStringList &names) override
    {
        names = {engine_.firstName};
        for (const auto &sheet : engine_.moreSheets)
            names << sheet.first;
        return true;
    }
    bool selectSheet(int index) override
    {
        if (index < 0 || index > int(engine_.moreSheets.size()))
            return false;
        sheet_ = index;
        return true;
    }
    bool setText(int row, int column, const QString &text) override
    {
        engine_.written[{row, column}] = text;
        return true;
    }
    bool setBlock(int, int, const QList<QList<QVariant>> &) override { return true; }
    bool cellText(int row, int column, QString &text) override
    {
        text = sheet().value(row - 1).value(column - 1).importText();
        return true;
    }
    bool usedExtent(int &rows, int &columns) override
    {
        rows = std::max(int(sheet().size()), sheet_ == 0 ? engine_.usedRows : 0);
        columns = 0;
        for (const auto &line : sheet())
            columns = std::max(columns, int(line.size()));
        return true;
    }
    bool readBlock(int row, int column, int rows, int columns, quarvel::SheetBlock &out) override
    {
        ++engine_.blockReads;
        if (engine_.failFromRow > 0 && row >= engine_.failFromRow) {
            error_ = QStringLiteral("LibreOffice服务意外中止,本次操作没有完成。");
            return false;
        }
        out.clear();
        for (int r = row; r < row + rows; ++r) {
            QList<quarvel::SheetCell> line;
            for (int c = column; c < column + columns; ++c)
                line.append(sheet().value(r - 1).value(c - 1));
            out.append(line);
        }
        return true;
    }
    bool setColumnWidth(int column, int characters) override
    {
        engine_.widths[column] = characters;
        return true;
    }
    bool merge(int, int, int, int) override { return true; }
    bool exportPdf(const QString &, int, int) override { return true; }
    bool save(const QString &path) override
    {
        engine_.savedPath = path;
        QFile file(path);
        return file.open(QIODevice::WriteOnly);
    }
    void close() override {}
    QString errorText() const override { return error_; }

private:
    const quarvel::SheetBlock &sheet() const
    {
        return sheet_ == 0 ? engine_.cells : engine_.moreSheets.at(sheet_ - 1).second;
    }

    MemorySheetEngine &engine_;
    QString error_;
    int sheet_ = 0;
};

inline std::unique_ptr<quarvel::SpreadsheetDocument> MemorySheetEngine::create(const QString &path, QString *)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    return std::make_unique<MemorySheetDocument>(*this);
}

inline std::unique_ptr<quarvel::SpreadsheetDocument> MemorySheetEngine::open(const QString &, Access,
                                                                             QString *errorText)
{
    if (!openError.isEmpty()) {
        *errorText = openError;
        return nullptr;
    }
    return std::make_unique<MemorySheetDocument>(*this);
}
