#include "excel/ImportRow.h"

namespace quarvel {

SheetCell ImportRow::cell(int field) const
{
    const int column = header_.column(field);
    return column > 0 ? cells_.value(column - 1) : SheetCell();
}

SheetValue::Text ImportRow::text(int field) const
{
    return SheetValue::AsText(cell(field), header_.known().at(field).type, header_.caption(field));
}

SheetValue::Number ImportRow::number(int field) const
{
    return SheetValue::AsNumber(cell(field), header_.known().at(field).type, header_.caption(field),
                                header_.unit(field));
}

} // namespace quarvel
