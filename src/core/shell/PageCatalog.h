#pragma once

#include "list/ListColumn.h"

#include <QList>
#include <QString>

namespace quarvel {

// The seven pages of the main view: their titles and list columns.
class PageCatalog {
public:
    enum Page { PreInput = 0, RecordCheck = 1, Scan = 2, Contacts = 3, Settlement = 4, PreQuery = 5, DayReport = 6 };
    static constexpr int kPages = 7;

    static QString Title(int page);
    static QList<ListColumn> Columns(int page);
};

} // namespace quarvel
