#include "excel/ImportHeader.h"

#include <algorithm>

namespace quarvel {

ImportHeader::ImportHeader(const QList<ImportColumn> &known, const QList<SheetCell> &firstRow)
    : known_(known), columns_(known.size(), 0)
{
    const qsizetype width = std::min(firstRow.size(), known.size());
    for (qsizetype c = 0; c < width; ++c) {
        const QString text = firstRow.at(c).importText().trimmed();
        if (text.isEmpty())
            continue;
        for (qsizetype h = 0; h < known.size(); ++h) {
            if (known.at(h).caption() != text)
                continue;
            if (columns_[h] > 0)
                repeats_.append({int(h), columns_[h], int(c) + 1});
            columns_[h] = int(c) + 1;
        }
    }
}

int ImportHeader::lastColumn() const
{
    return columns_.isEmpty() ? 0 : *std::max_element(columns_.cbegin(), columns_.cend());
}

} // namespace quarvel
