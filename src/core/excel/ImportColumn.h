#pragma once

#include "excel/SheetValue.h"

#include <QString>
#include <QStringList>

namespace quarvel {

// One field an import sheet may have a column for: its header text (also
// written by the header export, with the column's width), how its cells are
// read, the other header texts customers give it, and whether the import
// needs it.
struct ImportColumn {
    const char16_t *text;
    int width;
    SheetValue::Type type = SheetValue::Type::Text;
    // Other headers for the same column, separated by "|": "收货人|姓名".
    const char16_t *synonyms = u"";
    bool required = false;

    QString caption() const { return QString::fromUtf16(text); }
    QStringList synonymList() const { return QString::fromUtf16(synonyms).split(u'|', Qt::SkipEmptyParts); }
};

} // namespace quarvel
