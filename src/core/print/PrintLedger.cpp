#include "print/PrintLedger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/file.h>

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
    const QStringList fields{QString::number(e.number), e.time.toString(Qt::ISODate), flat(e.kind), flat(e.waybill),
                             flat(e.templateName),      QString::number(e.copies),    flat(e.pdf)};
    return fields.join(u'\t').toUtf8() + '\n';
}

bool parse(const QByteArray &bytes, PrintLedger::Entry &e)
{
    const QStringList f = QString::fromUtf8(bytes).split(u'\t');
    if (f.size() != kFields)
        return false;
    bool ok = false;
    e.number = f[0].toInt(&ok);
    e.time = QDateTime::fromString(f[1], Qt::ISODate);
    e.kind = f[2];
    e.waybill = f[3];
    e.templateName = f[4];
    e.copies = f[5].toInt();
    e.pdf = f[6];
    return ok && e.number > 0;
}

// An exclusive lock on the open ledger for the length of one change.
class FileLock {
public:
    explicit FileLock(int fd) : fd_(fd) { locked_ = fd_ >= 0 && ::flock(fd_, LOCK_EX) == 0; }
    ~FileLock()
    {
        if (locked_)
            ::flock(fd_, LOCK_UN);
    }
    bool locked() const { return locked_; }

private:
    int fd_;
    bool locked_ = false;
};

} // namespace

QList<PrintLedger::Entry> PrintLedger::readAll() const
{
    QList<Entry> entries;
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    while (!file.atEnd()) {
        QByteArray text = file.readLine();
        if (text.endsWith('\n'))
            text.chop(1);
        Entry e;
        if (parse(text, e))
            entries.append(e);
    }
    return entries;
}

int PrintLedger::Append(Entry entry)
{
    const QMutexLocker guard(&mutex_);
    if (path_.isEmpty())
        return 0;
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QFile file(path_);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append))
        return 0;
    const FileLock lock(file.handle());
    if (!lock.locked())
        return 0;
    QList<Entry> entries = readAll();
    entry.number = entries.isEmpty() ? 1 : entries.last().number + 1;
    if (!entry.time.isValid())
        entry.time = QDateTime::currentDateTime();
    if (entries.size() >= 2 * kKeep) {
        entries.append(entry);
        return trim(file, entries) ? entry.number : 0;
    }
    if (file.write(line(entry)) <= 0 || !file.flush())
        return 0;
    return entry.number;
}

// Keeps the newest printouts, their numbers as they were. The file is
// rewritten in place, so that a writer waiting for the lock appends to it.
bool PrintLedger::trim(QFile &file, const QList<Entry> &entries)
{
    QByteArray kept;
    for (qsizetype i = std::max<qsizetype>(0, entries.size() - kKeep); i < entries.size(); ++i)
        kept += line(entries[i]);
    return file.resize(0) && file.write(kept) == kept.size() && file.flush();
}

QList<PrintLedger::Entry> PrintLedger::Recent(int limit) const
{
    const QMutexLocker guard(&mutex_);
    const QList<Entry> all = readAll();
    QList<Entry> recent;
    for (qsizetype i = all.size() - 1; i >= 0 && recent.size() < limit; --i)
        recent.append(all[i]);
    return recent;
}

bool PrintLedger::Find(int number, Entry &entry) const
{
    const QMutexLocker guard(&mutex_);
    for (const Entry &e : readAll())
        if (e.number == number) {
            entry = e;
            return true;
        }
    return false;
}

} // namespace quarvel
