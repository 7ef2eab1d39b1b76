#include "print/TemplatePairWrite.h"

#include "storage/FileReplace.h"
#include "storage/SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvel {

namespace {

// Files written aside by a pair: "<target>.new-XXXXXX" and "<target>.old-XXXXXX".
const QStringList kAsidePatterns{QStringLiteral("*.new-??????"), QStringLiteral("*.old-??????")};

// The folder locked for one pair; -1 with errno when it cannot be.
int lockFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    int rc = 0;
    do
        rc = ::flock(fd, LOCK_EX);
    while (rc != 0 && errno == EINTR);
    if (rc == 0)
        return fd;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return -1;
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

TemplatePairWrite::TemplatePairWrite(const QString &definitionPath, const QString &spreadsheetPath)
    : folder_(QFileInfo(spreadsheetPath).absolutePath()), members_{{QFileInfo(spreadsheetPath).fileName(), QString(),
                                                                    QString()},
                                                                   {QFileInfo(definitionPath).fileName(), QString(),
                                                                    QString()}}
{
}

TemplatePairWrite::~TemplatePairWrite()
{
    discard();
}

bool TemplatePairWrite::fail(const QString &text)
{
    error_ = text;
    discard();
    return false;
}

// What was written aside and not put in goes; the folder is free again.
void TemplatePairWrite::discard()
{
    const QDir dir(folder_);
    for (Member &m : members_) {
        if (!m.fresh.isEmpty())
            QFile::remove(dir.filePath(m.fresh));
        if (!m.old.isEmpty())
            QFile::remove(dir.filePath(m.old));
        m.fresh.clear();
        m.old.clear();
    }
    prepared_ = false;
    if (lockFd_ >= 0)
        ::close(lockFd_);
    lockFd_ = -1;
}

bool TemplatePairWrite::lock()
{
    if (lockFd_ >= 0)
        return true;
    lockFd_ = lockFolder(folder_);
    return lockFd_ >= 0 ||
           fail(QStringLiteral("模版文件夹%1无法使用：%2").arg(native(folder_), SystemError::Reason(errno)));
}

// A link is not followed and a folder is not replaced: either would put the
// template somewhere the operator did not mean, or lose what is there.
bool TemplatePairWrite::refuseUnusual(const QString &name)
{
    const QString path = QDir(folder_).filePath(name);
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return true;
    if (S_ISLNK(st.st_mode))
        return fail(QStringLiteral("模版文件%1是一个符号链接，没有写入。请把它换成普通文件。").arg(native(path)));
    return fail(QStringLiteral("模版文件%1不是普通文件，没有写入。").arg(native(path)));
}

bool TemplatePairWrite::writeAside(Member &m, const QByteArray &bytes)
{
    const QString aside = FileReplace::WriteAside(QDir(folder_).filePath(m.target), bytes, &error_);
    if (aside.isEmpty())
        return fail(error_);
    m.fresh = QFileInfo(aside).fileName();
    return true;
}

bool TemplatePairWrite::Prepare(const QByteArray &definition, const QByteArray &spreadsheet)
{
    discard();
    error_.clear();
    if (!lock())
        return false;
    for (const Member &m : members_)
        if (!refuseUnusual(m.target))
            return false;
    if (!writeAside(members_[0], spreadsheet) || !writeAside(members_[1], definition))
        return false;
    prepared_ = true;
    step(Step::Written);
    return true;
}

// The old file stays reachable under a second name until the pair is whole.
bool TemplatePairWrite::keepOld(Member &m)
{
    const QString target = QDir(folder_).filePath(m.target);
    if (!QFileInfo::exists(target))
        return true;
    QByteArray old = QFile::encodeName(target) + ".old-XXXXXX";
    const int fd = ::mkostemp(old.data(), O_CLOEXEC);
    if (fd < 0 || ::close(fd) != 0 || ::unlink(old.constData()) != 0 ||
        ::link(QFile::encodeName(target).constData(), old.constData()) != 0)
        return fail(QStringLiteral("旧模版文件%1无法保留：%2").arg(native(target), SystemError::Reason(errno)));
    m.old = QFileInfo(QFile::decodeName(old)).fileName();
    return true;
}

bool TemplatePairWrite::Commit()
{
    if (!prepared_)
        return false;
    for (Member &m : members_)
        if (!refuseUnusual(m.target) || !keepOld(m))
            return false;
    const TemplatePairJournal journal(folder_);
    if (!journal.Write(TemplatePairJournal::Direction::Forward, members_, &error_))
        return fail(error_);
    step(Step::Journaled);
    const QDir dir(folder_);
    for (qsizetype i = 0; i < members_.size(); ++i) {
        const Member &m = members_[i];
        if (std::rename(QFile::encodeName(dir.filePath(m.fresh)).constData(),
                        QFile::encodeName(dir.filePath(m.target)).constData()) != 0) {
            const QString reason = SystemError::Reason(errno);
            // Turned round first, so that a kill while the old pair goes back
            // does not finish the new one at the next start.
            journal.Write(TemplatePairJournal::Direction::Back, members_);
            journal.Back(members_);
            journal.Remove();
            return fail(QStringLiteral("模版文件%1没能替换：%2").arg(native(dir.filePath(m.target)), reason));
        }
        step(i == 0 ? Step::FirstRenamed : Step::Renamed);
    }
    journal.Forward(members_);
    journal.Remove();
    for (Member &m : members_)
        m.fresh.clear();
    discard();
    return true;
}

void TemplatePairWrite::step(Step s) const
{
    if (hook_)
        hook_(s);
}

QString TemplatePairWrite::Recover(const QString &folder)
{
    const int fd = lockFolder(folder);
    if (fd < 0)
        return QString();
    const TemplatePairJournal journal(folder);
    TemplatePairJournal::Direction direction = TemplatePairJournal::Direction::Back;
    QList<TemplatePairJournal::Member> members;
    QString text;
    if (journal.Read(direction, members)) {
        const bool forward = direction == TemplatePairJournal::Direction::Forward && journal.Forward(members);
        if (!forward)
            journal.Back(members);
        text = (forward ? QStringLiteral("上次中断的模版更新已完成：%1、%2。")
                        : QStringLiteral("上次中断的模版更新已撤销，保留原来的模版：%1、%2。"))
                   .arg(members[0].target, members.value(1).target);
    }
    journal.Remove();
    QDir dir(folder);
    for (const QString &name : dir.entryList(kAsidePatterns, QDir::Files | QDir::Hidden | QDir::System))
        dir.remove(name);
    ::close(fd);
    return text;
}

} // namespace quarvel
