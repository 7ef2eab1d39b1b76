#include "print/PrintLedger.h"

#include "storage/FileReplace.h"
#include "storage/SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace quarvel {

namespace {

constexpr int kFields = 7;

// Tabs and line breaks would split a line; they become blanks.
QString flat(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return out;
}

QByteArray line(const PrintLedger::Entry &e)
{
    QStringList fields{QString::number(e.number), e.time.toString(Qt::ISODate), flat(e.kind), flat(e.waybill),
                       flat(e.templateName),      QString::number(e.copies),    flat(e.pdf)};
    if (e.removed.isValid())
        fields << e.removed.toString(Qt::ISODate);
    return fields.join(u'\t').toUtf8() + '\n';
}

// Seven fields, or eight for a printout whose PDF was removed.
bool parse(const QByteArray &bytes, PrintLedger::Entry &e)
{
    const QStringList f = QString::fromUtf8(bytes).split(u'\t');
    if (f.size() != kFields && f.size() != kFields + 1)
        return false;
    bool ok = false;
    e.number = f[0].toInt(&ok);
    e.time = QDateTime::fromString(f[1], Qt::ISODate);
    e.kind = f[2];
    e.waybill = f[3];
    e.templateName = f[4];
    e.copies = f[5].toInt();
    e.pdf = f[6];
    if (f.size() > kFields) {
        e.removed = QDateTime::fromString(f[7], Qt::ISODate);
        ok = ok && e.removed.isValid();
    }
    return ok && e.number > 0;
}

QString failure(const QString &path, int error)
{
    return QStringLiteral("打印记录%1没能写入：%2").arg(QDir::toNativeSeparators(path), SystemError::Reason(error));
}

// An exclusive lock for the length of one change, on a file of its own: the
// ledger itself is replaced by renames, and a lock on a replaced file would
// guard nothing.
class LedgerLock {
public:
    explicit LedgerLock(const QString &ledger)
    {
        const QByteArray name = QFile::encodeName(ledger + QStringLiteral(".lock"));
        fd_ = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        int rc = -1;
        if (fd_ >= 0)
            do
                rc = ::flock(fd_, LOCK_EX);
            while (rc != 0 && errno == EINTR);
        error_ = rc == 0 ? 0 : errno;
    }
    ~LedgerLock()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    LedgerLock(const LedgerLock &) = delete;
    LedgerLock &operator=(const LedgerLock &) = delete;
    // 0 once locked, else the reason.
    int error() const { return error_; }

private:
    int fd_ = -1;
    int error_ = 0;
};

} // namespace

QList<PrintLedger::Entry> PrintLedger::readAll(bool *endsWhole) const
{
    QList<Entry> entries;
    QFile file(path_);
    if (endsWhole)
        *endsWhole = true;
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    const QByteArray text = file.readAll();
    if (endsWhole)
        *endsWhole = text.isEmpty() || text.endsWith('\n');
    for (const QByteArray &bytes : text.split('\n')) {
        Entry e;
        if (parse(bytes, e))
            entries.append(e);
    }
    return entries;
}

int PrintLedger::Append(Entry entry, QString *error)
{
    const QMutexLocker guard(&mutex_);
    if (path_.isEmpty())
        return 0;
    QDir().mkpath(QFileInfo(path_).absolutePath());
    const LedgerLock lock(path_);
    if (lock.error() != 0) {
        if (error)
            *error = failure(path_, lock.error());
        return 0;
    }
    bool endsWhole = true;
    QList<Entry> entries = readAll(&endsWhole);
    entry.number = entries.isEmpty() ? 1 : entries.last().number + 1;
    if (!entry.time.isValid())
        entry.time = QDateTime::currentDateTime();
    entries.append(entry);
    const bool written =
        entries.size() > 2 * keep_ ? rewrite(entries, error) : appendLine(line(entry), !endsWhole, error);
    return written ? entry.number : 0;
}

// One line at the end, on the disk before the printout counts as recorded.
// A line cut by an earlier failure is ended first, so that it stays one
// damaged line rather than spoiling the new one.
bool PrintLedger::appendLine(const QByteArray &bytes, bool newlineFirst, QString *error) const
{
    const int fd = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    int failed = fd < 0 ? errno : 0;
    if (fd >= 0) {
        if (!FileReplace::WriteAll(fd, newlineFirst ? '\n' + bytes : bytes) || ::fdatasync(fd) != 0)
            failed = errno;
        if (::close(fd) != 0 && failed == 0)
            failed = errno;
    }
    if (failed != 0 && error)
        *error = failure(path_, failed);
    return failed == 0;
}

// The printouts as a new ledger, their numbers as they were; only the newest
// of a ledger grown past twice its keeping.
bool PrintLedger::rewrite(const QList<Entry> &entries, QString *error) const
{
    removeStrayCopies();
    QByteArray kept;
    const qsizetype first = entries.size() > 2 * keep_ ? entries.size() - keep_ : 0;
    for (qsizetype i = first; i < entries.size(); ++i)
        kept += line(entries[i]);
    return FileReplace::Write(path_, kept, error);
}

// New copies of the ledger that a killed writer left; under the lock no
// other writer is making one.
void PrintLedger::removeStrayCopies() const
{
    const QFileInfo info(path_);
    QDir folder = info.absoluteDir();
    for (const QString &name : folder.entryList({info.fileName() + QStringLiteral(".new-*")}, QDir::Files))
        folder.remove(name);
}

bool PrintLedger::MarkRemoved(const QList<int> &numbers, const QDateTime &when, QString *error)
{
    const QMutexLocker guard(&mutex_);
    if (path_.isEmpty() || numbers.isEmpty())
        return true;
    const LedgerLock lock(path_);
    if (lock.error() != 0) {
        if (error)
            *error = failure(path_, lock.error());
        return false;
    }
    QList<Entry> entries = readAll();
    for (Entry &e : entries)
        if (numbers.contains(e.number) && !e.removed.isValid())
            e.removed = when;
    return rewrite(entries, error);
}

QString PrintLedger::NotRecordedText(const QString &error)
{
    return QStringLiteral("已打印，但打印记录没能写入，以后无法从打印记录中再次打印：\r\n") + error;
}

QList<PrintLedger::Entry> PrintLedger::Recent(int limit) const
{
    const QList<Entry> all = All();
    QList<Entry> recent;
    for (qsizetype i = all.size() - 1; i >= 0 && recent.size() < limit; --i)
        recent.append(all[i]);
    return recent;
}

QList<PrintLedger::Entry> PrintLedger::All() const
{
    const QMutexLocker guard(&mutex_);
    return readAll();
}

bool PrintLedger::Find(int number, Entry &entry) const
{
    for (const Entry &e : All())
        if (e.number == number) {
            entry = e;
            return true;
        }
    return false;
}

} // namespace quarvel
