#pragma once

#include "excel/ColumnMap.h"
#include "excel/ImportHeader.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quarvel {

// The column-mapping dialog's values: every column of the sheet's header
// row with its header and a few of its values, and the field it feeds,
// first as the import recognised it. A field is fed by one column at most;
// the map can be accepted once every required field has a column.
class ColumnMapForm {
public:
    struct Column {
        int column; // 1-based
        QString header;
        QStringList samples;
        // The caption of the field it feeds; empty: not imported.
        QString field;
        // The field another column took from it, given back when that column chooses again.
        QString lent;
        int lentTo = -1;
    };
    static constexpr int kSamples = 3;

    ColumnMapForm(const QString &sheet, int headerRow, const ImportHeader &header, const SheetBlock &sampleRows);

    QString title() const;
    const QList<Column> &columns() const { return columns_; }
    // The captions to choose from, in the import's order.
    QStringList fields() const;
    bool isRequired(const QString &field) const;
    // The choice for a column (by its index in columns()); a field another
    // column fed before is taken from it, and given back when this column
    // chooses again (choosing by typing passes through other fields).
    void choose(int index, const QString &field);
    // Required fields still without a column.
    QStringList missing() const;
    bool canAccept() const { return missing().isEmpty(); }
    // "还缺少:运单号、目的地" or what the operator has to know before accepting.
    QString statusText() const;
    // Every column with its choice, not imported ones included.
    ColumnMap map() const;

    // The text "不导入" in the list of choices.
    static QString NotImported() { return QStringLiteral("(不导入)"); }

private:
    QString sheet_;
    int headerRow_;
    QList<ImportColumn> known_;
    QList<Column> columns_;
};

} // namespace quarvel
