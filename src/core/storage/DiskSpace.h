#pragma once

#include <QString>
#include <QStringList>

namespace quarvel {

// Room left on the filesystem of a folder. The office reports a full disk as
// "Io Class:Access" or not at all, so a failed write is checked against the
// disk itself before the operator is told why.
class DiskSpace {
public:
    // Less than this left for an ordinary user counts as full: a document
    // or a record file's growth needs at least that much.
    static constexpr long long kFullBelow = 256 * 1024;

    // Whether the filesystem holding `path` (a folder, or a file not made
    // yet in it) has less than kFullBelow bytes left for an ordinary user.
    static bool IsFull(const QString &path);
    // "磁盘已满：FOLDER" for the first of the paths whose disk is full;
    // empty when none is.
    static QString FullText(const QStringList &paths);
};

} // namespace quarvel
