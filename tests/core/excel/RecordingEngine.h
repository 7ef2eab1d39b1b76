#pragma once

#include "excel/SpreadsheetEngine.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>

#include <algorithm>

// A spreadsheet engine that only writes down what it is asked to do, for
// the rules of ExcelSession and the list export. The same paths run against
// LibreOffice in tests/office.
class RecordingEngine : public quarvel::SpreadsheetEngine {
public:
    QStringList log;
    bool startWorks = true;
    // The operation ("setText", "save", ...) that fails, with this text.
    QString failing;
    QString failure = QStringLiteral("引擎错误");
    bool renameRefused = false;
    // Cell texts as the documents hold them, "row,column" -> text.
    QHash<QString, QString> cells;
    int openDocuments = 0;

    bool start(QString *errorText) override
    {
        log << QStringLiteral("start");
        if (!startWorks && errorText)
            *errorText = QStringLiteral("soffice.bin missing");
        return startWorks;
    }
    std::unique_ptr<quarvel::SpreadsheetDocument> create(const QString &path, QString *errorText) override;
    std::unique_ptr<quarvel::SpreadsheetDocument> open(const QString &path, Access access, QString *errorText) override;
};

class RecordingDocument : public quarvel::SpreadsheetDocument {
public:
    explicit RecordingDocument(RecordingEngine &engine) : engine_(engine) { ++engine_.openDocuments; }
    ~RecordingDocument() override { close(); }

    bool renameSheet(const QString &name) override
    {
        return record(QStringLiteral("rename"), name) && (!engine_.renameRefused || refuse());
    }
    bool setText(int row, int column, const QString &text) override
    {
        engine_.cells[QStringLiteral("%1,%2").arg(row).arg(column)] = text;
        return record(QStringLiteral("setText"), QStringLiteral("%1,%2 %3").arg(row).arg(column).arg(text));
    }
    bool setBlock(int row, int column, const QList<QList<QVariant>> &cells) override
    {
        QStringList first;
        for (const QVariant &v : cells.first())
            first << (v.isNull()                         ? QStringLiteral("-")
                      : v.typeId() == QMetaType::QString ? v.toString()
                                                         : QStringLiteral("#") + v.toString());
        return record(QStringLiteral("setBlock"), QStringLiteral("%1,%2 %3x%4 [%5]")
                                                      .arg(row)
                                                      .arg(column)
                                                      .arg(cells.size())
                                                      .arg(cells.first().size())
                                                      .arg(first.join(u'|')));
    }
    bool cellText(int row, int column, QString &text) override
    {
        text = engine_.cells.value(QStringLiteral("%1,%2").arg(row).arg(column));
        return record(QStringLiteral("cellText"), QStringLiteral("%1,%2").arg(row).arg(column));
    }
    bool usedExtent(int &rows, int &columns) override
    {
        rows = columns = 0;
        for (auto it = engine_.cells.cbegin(); it != engine_.cells.cend(); ++it) {
            rows = std::max(rows, it.key().section(u',', 0, 0).toInt());
            columns = std::max(columns, it.key().section(u',', 1, 1).toInt());
        }
        return record(QStringLiteral("extent"), QStringLiteral("%1,%2").arg(rows).arg(columns));
    }
    bool readBlock(int row, int column, int rows, int columns, quarvel::SheetBlock &cells) override
    {
        cells.clear();
        for (int r = row; r < row + rows; ++r) {
            QList<quarvel::SheetCell> line;
            for (int c = column; c < column + columns; ++c) {
                const QString text = engine_.cells.value(QStringLiteral("%1,%2").arg(r).arg(c));
                line.append(text.isEmpty() ? quarvel::SheetCell() : quarvel::SheetCell::Text(text));
            }
            cells.append(line);
        }
        return record(QStringLiteral("readBlock"),
                      QStringLiteral("%1,%2 %3x%4").arg(row).arg(column).arg(rows).arg(columns));
    }
    bool setColumnWidth(int column, int characters) override
    {
        return record(QStringLiteral("width"), QStringLiteral("%1 %2").arg(column).arg(characters));
    }
    bool merge(int firstRow, int firstColumn, int lastRow, int lastColumn) override
    {
        return record(QStringLiteral("merge"),
                      QStringLiteral("%1,%2 %3,%4").arg(firstRow).arg(firstColumn).arg(lastRow).arg(lastColumn));
    }
    bool exportPdf(const QString &pdfPath, int fromPage, int toPage) override
    {
        QFile pdf(pdfPath);
        if (pdf.open(QIODevice::WriteOnly))
            pdf.write("%PDF");
        return record(QStringLiteral("pdf"), QStringLiteral("%1 %2-%3").arg(pdfPath).arg(fromPage).arg(toPage));
    }
    bool save(const QString &path) override { return record(QStringLiteral("save"), QFileInfo(path).fileName()); }
    void close() override
    {
        if (closed_)
            return;
        closed_ = true;
        --engine_.openDocuments;
        engine_.log << QStringLiteral("close");
    }
    QString errorText() const override { return error_; }

private:
    bool record(const QString &operation, const QString &what)
    {
        engine_.log << operation + u' ' + what;
        if (operation != engine_.failing)
            return true;
        error_ = engine_.failure;
        return false;
    }
    bool refuse()
    {
        error_ = QStringLiteral("名称已被使用");
        return false;
    }

    RecordingEngine &engine_;
    bool closed_ = false;
    QString error_;
};

inline std::unique_ptr<quarvel::SpreadsheetDocument> RecordingEngine::create(const QString &path, QString *errorText)
{
    log << QStringLiteral("create ") + QFileInfo(path).fileName();
    if (failing == QLatin1String("create")) {
        *errorText = failure;
        return nullptr;
    }
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    return std::make_unique<RecordingDocument>(*this);
}

inline std::unique_ptr<quarvel::SpreadsheetDocument> RecordingEngine::open(const QString &path, Access access,
                                                                           QString *errorText)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    log << QStringLiteral("open %1 %2 %3")
               .arg(access == Access::Read ? QStringLiteral("read") : QStringLiteral("edit"),
                    QFileInfo(path).fileName(), QString::fromUtf8(file.readAll()));
    if (failing == QLatin1String("open")) {
        *errorText = failure;
        return nullptr;
    }
    return std::make_unique<RecordingDocument>(*this);
}
