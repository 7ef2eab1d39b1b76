#include "storage/FileReplace.h"

#include "storage/SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvel {

namespace {

void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The new file beside the target; 0 or the reason it could not be made.
int writeAside(const QByteArray &target, const QByteArray &bytes, QByteArray &temporary)
{
    temporary = target + ".new-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    int failed = 0;
    if (::fchmod(fd, 0644) != 0 || !FileReplace::WriteAll(fd, bytes) || ::fdatasync(fd) != 0)
        failed = errno;
    if (::close(fd) != 0 && failed == 0)
        failed = errno;
    if (failed != 0)
        ::unlink(temporary.constData());
    return failed;
}

QString failureText(const QString &path, int failed)
{
    return QStringLiteral("文件%1没能写入：%2").arg(QDir::toNativeSeparators(path), SystemError::Reason(failed));
}

} // namespace

QString FileReplace::WriteAside(const QString &path, const QByteArray &bytes, QString *error)
{
    QByteArray temporary;
    if (const int failed = writeAside(QFile::encodeName(path), bytes, temporary); failed != 0) {
        if (error)
            *error = failureText(path, failed);
        return QString();
    }
    return QFile::decodeName(temporary);
}

bool FileReplace::Write(const QString &path, const QByteArray &bytes, QString *error)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary;
    int failed = writeAside(target, bytes, temporary);
    if (failed == 0 && ::rename(temporary.constData(), target.constData()) != 0) {
        failed = errno;
        ::unlink(temporary.constData());
    }
    if (failed == 0) {
        syncFolder(QFile::encodeName(QFileInfo(path).absolutePath()));
        return true;
    }
    if (error)
        *error = failureText(path, failed);
    return false;
}

bool FileReplace::WriteAll(int fd, const QByteArray &bytes)
{
    const char *at = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, at, static_cast<std::size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        at += n;
        left -= n;
    }
    return true;
}

} // namespace quarvel
