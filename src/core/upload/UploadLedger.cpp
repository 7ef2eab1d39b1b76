#include "upload/UploadLedger.h"

#include "storage/FileReplace.h"
#include "storage/SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvel {

namespace {

constexpr char kPrefix[] = "upload-";
constexpr char kSuffix[] = ".txt";

bool readAll(int fd, QByteArray &out)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return false;
    out.resize(static_cast<qsizetype>(st.st_size));
    qsizetype done = 0;
    while (done < out.size()) {
        const ssize_t n = ::pread(fd, out.data() + done, static_cast<std::size_t>(out.size() - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

void syncFolder(const QString &folder)
{
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

// The whole lines of a file's bytes, with the numbers of those that are not.
QList<UploadLedgerEntry> parseLines(const QByteArray &text, QList<int> *damaged)
{
    QList<UploadLedgerEntry> entries;
    qsizetype from = 0;
    int number = 0;
    while (from < text.size()) {
        ++number;
        const qsizetype end = text.indexOf('\n', from);
        const QByteArray line = text.mid(from, end < 0 ? -1 : end - from);
        from = end < 0 ? text.size() : end + 1;
        const std::optional<UploadLedgerEntry> e = end < 0 ? std::nullopt : UploadLedgerEntry::Parse(line);
        if (e)
            entries.append(*e);
        else if (damaged && !line.isEmpty())
            damaged->append(number);
    }
    return entries;
}

// An exclusive lock on an open file for the length of one change.
class FileLock {
public:
    explicit FileLock(int fd) : fd_(fd) { locked_ = ::flock(fd_, LOCK_EX) == 0; }
    ~FileLock()
    {
        if (locked_)
            ::flock(fd_, LOCK_UN);
    }
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;
    bool locked() const { return locked_; }

private:
    int fd_;
    bool locked_ = false;
};

} // namespace

UploadLedger::UploadLedger(QString folder, int keepDays) : folder_(std::move(folder)), keepDays_(keepDays)
{
}

QString UploadLedger::FileOf(QDate day) const
{
    return folder_ + u'/' + QLatin1String(kPrefix) + day.toString(Qt::ISODate) + QLatin1String(kSuffix);
}

bool UploadLedger::Record(const QList<UploadLedgerEntry> &entries)
{
    std::map<QDate, QList<UploadLedgerEntry>> byDay;
    for (const UploadLedgerEntry &e : entries)
        byDay[e.accepted.at.date()].append(e);
    bool all = true;
    for (const auto &[day, dayEntries] : byDay)
        all = recordDay(day, dayEntries) && all;
    return all;
}

bool UploadLedger::fail(const QString &path, int error)
{
    failure_ = QStringLiteral("日结记录%1没能写入：%2").arg(QDir::toNativeSeparators(path), SystemError::Reason(error));
    return false;
}

bool UploadLedger::recordDay(QDate day, const QList<UploadLedgerEntry> &entries)
{
    const QString path = FileOf(day);
    if (!QDir().mkpath(folder_))
        return fail(path, errno);
    const bool existed = QFileInfo::exists(path);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail(path, errno);
    bool ok = false;
    int error = EIO;
    {
        const FileLock lock(fd);
        QByteArray text;
        if (lock.locked() && readAll(fd, text)) {
            QSet<QString> written;
            for (const UploadLedgerEntry &w : parseLines(text, nullptr))
                written.insert(w.RecordKey());
            QByteArray lines;
            // A line a kill cut short must not swallow the next one.
            if (!text.isEmpty() && !text.endsWith('\n'))
                lines += '\n';
            for (const UploadLedgerEntry &e : entries)
                if (!written.contains(e.RecordKey())) {
                    written.insert(e.RecordKey());
                    lines += e.Line();
                }
            ok = lines.isEmpty() || (FileReplace::WriteAll(fd, lines) && ::fdatasync(fd) == 0);
            if (!ok) {
                error = errno;
                // What a full disk let through is taken back: the next try
                // writes these lines whole.
                [[maybe_unused]] const int trimmed = ::ftruncate(fd, text.size());
            }
        } else {
            error = errno;
        }
    }
    if (::close(fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    if (!ok)
        return fail(path, error);
    if (!existed)
        syncFolder(folder_);
    return true;
}

UploadLedger::Day UploadLedger::Read(QDate day) const
{
    Day d;
    QFile file(FileOf(day));
    if (!file.open(QIODevice::ReadOnly))
        return d;
    QList<int> damaged;
    QHash<QString, qsizetype> at;
    for (const UploadLedgerEntry &e : parseLines(file.readAll(), &damaged)) {
        const auto found = at.constFind(e.RecordKey());
        if (found != at.constEnd()) {
            d.entries[*found] = e;
            continue;
        }
        at.insert(e.RecordKey(), d.entries.size());
        d.entries.append(e);
    }
    for (int n : damaged)
        d.warnings.append(QStringLiteral("%1 第 %2 行不完整或已损坏，已跳过。").arg(file.fileName()).arg(n));
    return d;
}

int UploadLedger::Prune(QDate today) const
{
    const QDate oldest = today.addDays(-keepDays_);
    int removed = 0;
    const QStringList names =
        QDir(folder_).entryList({QLatin1String(kPrefix) + u'*' + QLatin1String(kSuffix)}, QDir::Files);
    for (const QString &name : names) {
        const QString date = name.mid(int(sizeof kPrefix) - 1, 10);
        const QDate day = QDate::fromString(date, Qt::ISODate);
        if (day.isValid() && day < oldest && QFile::remove(folder_ + u'/' + name))
            ++removed;
    }
    return removed;
}

} // namespace quarvel
