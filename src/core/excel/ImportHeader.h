#pragma once

#include "excel/SheetCell.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quarvel {

// One header text of an import sheet with the width its column gets when an
// empty header sheet is exported.
struct ImportColumn {
    const char16_t *text;
    int width;

    QString caption() const { return QString::fromUtf16(text); }
};

// The header row of an import sheet: which column holds each known header
// text. Cells are compared trimmed; when a text occurs twice the later
// column counts, and the repeat is kept so that the operator can be told.
class ImportHeader {
public:
    struct Repeat {
        int header;
        int earlierColumn;
        int column;
    };

    ImportHeader(const QList<ImportColumn> &known, const QList<SheetCell> &firstRow);

    // The 1-based column of a header (by its index in the known list), 0 when none.
    int column(int header) const { return columns_.value(header, 0); }
    bool has(int header) const { return column(header) > 0; }
    // The right-most column any header uses.
    int lastColumn() const;
    const QList<Repeat> &repeats() const { return repeats_; }
    QString caption(int header) const { return known_.value(header).caption(); }

private:
    QList<ImportColumn> known_;
    QList<int> columns_;
    QList<Repeat> repeats_;
};

} // namespace quarvel
