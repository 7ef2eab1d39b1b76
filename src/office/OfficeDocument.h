#pragma once

#include "excel/SpreadsheetDocument.h"

#include <functional>

namespace quarvel {

class OfficeBackend;
class OfficeEngine;

// A workbook open in the engine's office, addressed by its number there.
// Every operation is carried out on the office thread. After the office
// died the document is gone: operations fail with the engine's message.
class OfficeDocument final : public SpreadsheetDocument {
public:
    OfficeDocument(OfficeEngine &engine, int id, quint64 generation);
    ~OfficeDocument() override;

    bool renameSheet(const QString &name) override;
    bool setText(int row, int column, const QString &text) override;
    bool setBlock(int row, int column, const QList<QList<QVariant>> &cells) override;
    bool cellText(int row, int column, QString &text) override;
    bool sheetNames(QStringList &names) override;
    bool selectSheet(int index) override;
    bool setShownColumns(const QList<int> &columns) override;
    bool usedExtent(int &rows, int &columns) override;
    bool readBlock(int row, int column, int rows, int columns, SheetBlock &cells) override;
    bool setColumnWidth(int column, int characters) override;
    bool merge(int firstRow, int firstColumn, int lastRow, int lastColumn) override;
    bool exportPdf(const QString &pdfPath, int fromPage, int toPage) override;
    bool save(const QString &path) override;
    void close() override;
    QString errorText() const override { return error_; }

private:
    bool call(const std::function<bool(OfficeBackend &, QString &)> &op);

    OfficeEngine &engine_;
    int id_;
    quint64 generation_;
    bool closed_ = false;
    QString error_;
};

} // namespace quarvel
