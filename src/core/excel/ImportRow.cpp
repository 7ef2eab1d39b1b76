#include "excel/ImportRow.h"

namespace quarvel {

SheetCell ImportRow::cell(int field) const
{
    const int column = header_.column(field);
    return column > 0 ? cells_.value(column - 1) : SheetCell();
}

SheetValue::Text ImportRow::text(int field) const
{
    const ImportColumn &c = header_.known().at(field);
    return SheetValue::AsText(cell(field), c.type, c.caption());
}

SheetValue::Number ImportRow::number(int field) const
{
    const ImportColumn &c = header_.known().at(field);
    return SheetValue::AsNumber(cell(field), c.type, c.caption(), header_.unit(field));
}

} // namespace quarvel
