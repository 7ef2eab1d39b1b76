#include "app/SupportLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvel {

namespace {

QString oneLine(const QString &text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    while (t.endsWith(u'\n'))
        t.chop(1);
    return t.replace(u'\n', QStringLiteral(" | "));
}

// Opens the log for appending and holds its lock; -1 when it cannot.
int openLocked(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// True when the descriptor still names the file at the path: another program
// may have rotated it while this one waited for the lock.
bool isCurrent(int fd, const QString &path)
{
    struct stat open {};
    struct stat named {};
    return ::fstat(fd, &open) == 0 && ::stat(QFile::encodeName(path).constData(), &named) == 0 &&
           open.st_ino == named.st_ino && open.st_dev == named.st_dev;
}

QStringList lastLines(const QString &path, int count)
{
    QFile f(path);
    if (count <= 0 || !f.open(QIODevice::ReadOnly))
        return {};
    // Reads the end of the file, more of it until it holds the lines asked
    // for (a line cut by the window's start does not count).
    for (qint64 window = 64 * 1024;; window *= 2) {
        window = qMin(window, f.size());
        f.seek(f.size() - window);
        QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
        if (window < f.size() && !lines.isEmpty())
            lines.removeFirst();
        if (lines.size() >= count || window == f.size())
            return lines.mid(qMax<qsizetype>(0, lines.size() - count));
    }
}

} // namespace

SupportLog &SupportLog::Process()
{
    static SupportLog log;
    return log;
}

QString SupportLog::FolderOf(const QString &root)
{
    return root + QStringLiteral("DATA_SYS/log");
}

void SupportLog::setFolder(const QString &folder)
{
    QMutexLocker lock(&mutex_);
    folder_ = folder;
}

QString SupportLog::folder() const
{
    QMutexLocker lock(&mutex_);
    return folder_;
}

QString SupportLog::filePath() const
{
    const QString f = folder();
    return f.isEmpty() ? QString() : f + u'/' + FileName();
}

bool SupportLog::Write(const QString &source, const QString &text)
{
    QMutexLocker lock(&mutex_);
    if (folder_.isEmpty() || !QDir().mkpath(folder_))
        return false;
    const QString path = folder_ + u'/' + FileName();
    const QByteArray line = QStringLiteral("%1 [%2] %3: %4\n")
                                .arg(QDateTime::currentDateTime().toString(Qt::ISODateWithMs))
                                .arg(::getpid())
                                .arg(source, Redact(oneLine(text)))
                                .toUtf8();
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = openLocked(path);
        if (fd < 0)
            return false;
        if (!isCurrent(fd, path)) {
            ::close(fd);
            continue;
        }
        const bool written = appendLocked(fd, line);
        ::close(fd);
        return written;
    }
    return false;
}

void SupportLog::Message(const QString &kind, const QString &title, const QString &text)
{
    Write(QStringLiteral("message"), title.isEmpty() ? QStringLiteral("%1: %2").arg(kind, text)
                                                     : QStringLiteral("%1 %2: %3").arg(kind, title, text));
}

bool SupportLog::appendLocked(int fd, const QByteArray &line)
{
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0 && st.st_size + line.size() > kRotateBytes) {
        // The lock stays with this descriptor: no other writer rotates meanwhile,
        // and the line goes to the fresh file.
        rotate();
        const int fresh = ::open(QFile::encodeName(folder_ + u'/' + FileName()).constData(),
                                 O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fresh < 0)
            return false;
        const bool ok = ::write(fresh, line.constData(), line.size()) == line.size();
        ::close(fresh);
        return ok;
    }
    return ::write(fd, line.constData(), line.size()) == line.size();
}

void SupportLog::rotate()
{
    const QString base = folder_ + u'/' + FileName();
    QFile::remove(base + QStringLiteral(".%1").arg(kFiles - 1));
    for (int n = kFiles - 2; n >= 1; --n)
        QFile::rename(base + QStringLiteral(".%1").arg(n), base + QStringLiteral(".%1").arg(n + 1));
    QFile::rename(base, base + QStringLiteral(".1"));
}

QStringList SupportLog::Tail(int lines) const
{
    const QString path = filePath();
    if (path.isEmpty())
        return {};
    QStringList current = lastLines(path, lines);
    if (current.size() < lines)
        current = lastLines(path + QStringLiteral(".1"), lines - int(current.size())) + current;
    return current;
}

QString SupportLog::Redact(const QString &text)
{
    static const QRegularExpression fields(
        QStringLiteral("((?:password|passwd|pwd|md5|digest|key|session|sid|cookie|token)\\w*\\s*[=:]\\s*)[^&\\s;,|]+"),
        QRegularExpression::CaseInsensitiveOption);
    QString t = text;
    return t.replace(fields, QStringLiteral("\\1***"));
}

} // namespace quarvel
