#include "storage/CleanCloseNote.h"
#include "storage/FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

#include <fcntl.h>
#include <unistd.h>

namespace quarvel {

namespace {

constexpr char kTitle[] =
    "# quarvel record files at the last clean close: name state size ctime-ns inode count last-id [content]";
constexpr qint64 kMaxNoteBytes = 64 * 1024;

bool isFileName(const QByteArray &name)
{
    if (name.isEmpty() || name.size() > 64)
        return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_'))
            return false;
    return true;
}

} // namespace

void CleanCloseNote::Load()
{
    entries_.clear();
    QFile file(path_);
    if (file.open(QIODevice::ReadOnly))
        Decode(file.read(kMaxNoteBytes));
}

std::optional<CleanCloseNote::Entry> CleanCloseNote::entry(const QString &name) const
{
    const auto it = entries_.find(name);
    return it == entries_.end() ? std::nullopt : std::optional<Entry>(it->second);
}

bool CleanCloseNote::MarkOpen()
{
    for (auto &[name, e] : entries_)
        e.closed = false;
    return Save();
}

void CleanCloseNote::SetClosed(const QString &name, const RecordFile::Stamp &stamp)
{
    entries_[name] = Entry{true, stamp};
}

bool CleanCloseNote::Save() const
{
    // The rename reaches the disk too, before anything trusts the note.
    return FileReplace::Write(path_, Encode());
}

QByteArray CleanCloseNote::Encode() const
{
    QByteArray text = QByteArray(kTitle) + '\n';
    for (const auto &[name, e] : entries_) {
        const RecordFile::Stamp &s = e.stamp;
        text += name.toLatin1() + (e.closed ? " closed " : " open ") + QByteArray::number(s.size) + ' ' +
                QByteArray::number(s.changedNs) + ' ' + QByteArray::number(s.inode) + ' ' +
                QByteArray::number(s.count) + ' ' + QByteArray::number(s.lastId) +
                (s.note >= 0 ? ' ' + QByteArray::number(s.note) : QByteArray()) + '\n';
    }
    return text;
}

void CleanCloseNote::Decode(const QByteArray &text)
{
    entries_.clear();
    for (const QByteArray &line : text.split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if ((parts.size() != 7 && parts.size() != 8) || !isFileName(parts[0]) ||
            (parts[1] != "closed" && parts[1] != "open"))
            continue;
        bool ok[6] = {true, true, true, true, true, true};
        Entry e;
        e.closed = parts[1] == "closed";
        e.stamp.size = parts[2].toLongLong(&ok[0]);
        e.stamp.changedNs = parts[3].toLongLong(&ok[1]);
        e.stamp.inode = parts[4].toULongLong(&ok[2]);
        e.stamp.count = parts[5].toInt(&ok[3]);
        e.stamp.lastId = parts[6].toInt(&ok[4]);
        if (parts.size() == 8)
            e.stamp.note = parts[7].toInt(&ok[5]);
        if (ok[0] && ok[1] && ok[2] && ok[3] && ok[4] && ok[5] && e.stamp.size >= 0 && e.stamp.count >= 0 &&
            e.stamp.note >= -1)
            entries_[QString::fromLatin1(parts[0])] = e;
    }
}

} // namespace quarvel
