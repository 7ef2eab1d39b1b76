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

bool writeAll(int fd, const QByteArray &bytes)
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

void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool FileReplace::Write(const QString &path, const QByteArray &bytes, QString *error)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary = target + ".new-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    int failed = fd < 0 ? errno : 0;
    if (fd >= 0) {
        if (::fchmod(fd, 0644) != 0 || !writeAll(fd, bytes) || ::fdatasync(fd) != 0)
            failed = errno;
        if (::close(fd) != 0 && failed == 0)
            failed = errno;
        if (failed == 0 && ::rename(temporary.constData(), target.constData()) != 0)
            failed = errno;
    }
    if (failed == 0) {
        syncFolder(QFile::encodeName(QFileInfo(path).absolutePath()));
        return true;
    }
    if (fd >= 0)
        ::unlink(temporary.constData());
    if (error)
        *error = QStringLiteral("文件%1没能写入：%2").arg(QDir::toNativeSeparators(path), SystemError::Reason(failed));
    return false;
}

} // namespace quarvel
