#include "print/TemplatePairJournal.h"

#include "storage/FileReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace quarvel {

namespace {

const QByteArray kForward = "forward";
const QByteArray kBack = "back";
const QByteArray kEnd = "end";

// A name inside the folder: no separator, no way up.
bool plainName(const QString &name)
{
    return !name.contains(u'/') && name != QLatin1String(".") && name != QLatin1String("..");
}

bool present(const QString &path)
{
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

QString TemplatePairJournal::path(const QString &name) const
{
    return QDir(folder_).filePath(name);
}

bool TemplatePairJournal::Write(Direction direction, const QList<Member> &members, QString *error) const
{
    QByteArray text = (direction == Direction::Forward ? kForward : kBack) + '\n';
    for (const Member &m : members)
        text += (m.target + u'\t' + m.fresh + u'\t' + m.old).toUtf8() + '\n';
    text += kEnd + '\n';
    return FileReplace::Write(path(Name()), text, error);
}

bool TemplatePairJournal::Read(Direction &direction, QList<Member> &members) const
{
    QFile file(path(Name()));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QList<QByteArray> lines = file.readAll().split('\n');
    if (lines.size() < 3 || lines.takeLast() != QByteArray() || lines.takeLast() != kEnd)
        return false;
    const QByteArray head = lines.takeFirst();
    if (head != kForward && head != kBack)
        return false;
    direction = head == kForward ? Direction::Forward : Direction::Back;
    members.clear();
    for (const QByteArray &line : lines) {
        const QStringList f = QString::fromUtf8(line).split(u'\t');
        if (f.size() != 3 || f[0].isEmpty() || f[1].isEmpty() || !plainName(f[0]) || !plainName(f[1]) ||
            !plainName(f[2]))
            return false;
        members.append({f[0], f[1], f[2]});
    }
    return !members.isEmpty();
}

bool TemplatePairJournal::Exists() const
{
    return present(path(Name()));
}

void TemplatePairJournal::Remove() const
{
    QFile::remove(path(Name()));
    syncFolder(folder_);
}

bool TemplatePairJournal::Forward(const QList<Member> &members) const
{
    for (const Member &m : members) {
        const QByteArray fresh = QFile::encodeName(path(m.fresh));
        if (present(path(m.fresh)) && std::rename(fresh.constData(), QFile::encodeName(path(m.target))) != 0)
            return false;
    }
    syncFolder(folder_);
    for (const Member &m : members)
        if (!m.old.isEmpty())
            QFile::remove(path(m.old));
    return true;
}

void TemplatePairJournal::Back(const QList<Member> &members) const
{
    for (const Member &m : members) {
        const QString target = path(m.target);
        if (m.old.isEmpty())
            QFile::remove(target);
        else if (present(path(m.old)))
            std::rename(QFile::encodeName(path(m.old)).constData(), QFile::encodeName(target).constData());
        QFile::remove(path(m.fresh));
    }
    syncFolder(folder_);
}

} // namespace quarvel
