#pragma once

#include <QByteArray>
#include <QString>

namespace quarvel {

// Replaces a small file whole: the bytes go into a new file beside it (a name
// no other program can take), every write is checked (a short write is
// continued, a failed one ends it), the new file reaches the disk, and only
// then is it renamed over the old one. A failure at any step leaves the old
// file as it was and removes the new one, so a full disk never leaves a
// truncated settings file behind.
class FileReplace {
public:
    // False on failure, with "文件%1没能写入：%2" (the file and the reason).
    static bool Write(const QString &path, const QByteArray &bytes, QString *error = nullptr);
    // The first half of Write, for callers that put several files in place
    // together: the bytes in a new synced file beside path ("<path>.new-XXXXXX"),
    // not yet renamed. Its path, or empty with the reason as Write gives it.
    static QString WriteAside(const QString &path, const QByteArray &bytes, QString *error = nullptr);
    // Writes all of `bytes` to `fd`, continuing short writes and retrying an
    // interrupted one; false with errno set (ENOSPC for a write of nothing).
    static bool WriteAll(int fd, const QByteArray &bytes);
};

} // namespace quarvel
