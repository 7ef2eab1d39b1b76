#pragma once

#include "list/ListSnapshot.h"

#include <QString>

namespace quarvel {

// A list written as a text file: UTF-16 little-endian with a byte-order mark,
// the title, the time stamp, then the headers and the rows, each cell followed
// by a tab and each line ended by CR LF.
class ListTextExport {
public:
    // The bytes of the file. Control characters inside cells (tabs, line
    // breaks) become spaces so that no cell can break its line.
    static QByteArray Render(const ListSnapshot &list, const QString &timeStamp);
    // Writes the file; false when it cannot be created or written.
    static bool Write(const QString &path, const ListSnapshot &list, const QString &timeStamp);
    static QString CleanCell(const QString &text);
};

} // namespace quarvel
