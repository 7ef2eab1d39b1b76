#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace quarvel {

// What a record list shows, copied out for export: the title, the columns
// (caption, width in pixels, right-aligned or not) and the cell texts row by
// row in display order (the totals row included, last).
struct ListSnapshot {
    struct Column {
        QString caption;
        int widthPixels = 64;
        bool rightAligned = false;
    };

    QString title;
    QList<Column> columns;
    QList<QStringList> rows;
};

} // namespace quarvel
