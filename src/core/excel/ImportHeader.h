#pragma once

#include "excel/ColumnMap.h"
#include "excel/ImportColumn.h"
#include "excel/SheetCell.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quarvel {

// The header row of an import sheet: which column feeds each field. A cell
// names a field by the field's own header or one of its other headers, as
// HeaderText reads them; the operator's map comes first. When two columns
// name the same field, the field's own header beats another one, an earlier
// other header beats a later one, and between equals the later column counts;
// the columns passed over are kept so that the operator can be told.
class ImportHeader {
public:
    struct Repeat {
        int field;
        int column;     // the column passed over
        int usedColumn; // the column the field reads
    };

    ImportHeader(const QList<ImportColumn> &known, const QList<SheetCell> &row, const ColumnMap &map = ColumnMap());

    // The 1-based column of a field (by its index in the known list), 0 when none.
    int column(int field) const { return columns_.value(field, 0); }
    bool has(int field) const { return column(field) > 0; }
    SheetValue::Unit unit(int field) const { return units_.value(field, SheetValue::Unit::None); }
    // The right-most column any field reads.
    int lastColumn() const;
    const QList<ImportColumn> &known() const { return known_; }
    const QString &caption(int field) const { return captions_.at(field); }
    // How many fields have a column.
    int recognized() const;
    // The captions of required fields without a column.
    QStringList missing() const;
    // The header cells as written (trimmed), column 1 first.
    const QStringList &texts() const { return texts_; }
    // Columns with a header that feed no field, and which field each column feeds (-1: none).
    QList<int> unused() const;
    int fieldOfColumn(int column) const;
    const QList<Repeat> &repeats() const { return repeats_; }
    // The header row as HeaderText reads it: what a remembered mapping is kept under.
    QString layout() const;

private:
    void assign(int field, int column, int rank);

    QList<ImportColumn> known_;
    QStringList captions_;
    QStringList texts_;
    QList<int> columns_;
    QList<int> ranks_;
    QList<SheetValue::Unit> units_;
    QList<Repeat> repeats_;
};

} // namespace quarvel
