#include "storage/DiskSpace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/statvfs.h>

namespace quarvel {

bool DiskSpace::IsFull(const QString &path)
{
    // The nearest folder that exists: the target file or its folder may not.
    QFileInfo at(path);
    while (!at.exists() && at.absolutePath() != at.absoluteFilePath())
        at = QFileInfo(at.absolutePath());
    struct statvfs fs {};
    if (::statvfs(QFile::encodeName(at.absoluteFilePath()).constData(), &fs) != 0)
        return false;
    return static_cast<long long>(fs.f_bavail) * static_cast<long long>(fs.f_frsize) < kFullBelow;
}

QString DiskSpace::FullText(const QStringList &paths)
{
    for (const QString &path : paths)
        if (!path.isEmpty() && IsFull(path))
            return QStringLiteral("磁盘已满：%1").arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
    return {};
}

} // namespace quarvel
