#pragma once

#include "excel/ImportHeader.h"
#include "excel/SheetValue.h"

#include <QList>

namespace quarvel {

// One sheet row as an import's rules read it: each field's cell through the
// header, read as the field's type says (SheetValue).
class ImportRow {
public:
    ImportRow(const ImportHeader &header, const QList<SheetCell> &cells) : header_(header), cells_(cells) {}

    // The field's cell; an empty one when the sheet has no column for it.
    SheetCell cell(int field) const;
    SheetValue::Text text(int field) const;
    SheetValue::Number number(int field) const;

private:
    const ImportHeader &header_;
    const QList<SheetCell> &cells_;
};

} // namespace quarvel
