#include "print/WorkFiles.h"

#include "storage/SystemError.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace quarvel {

namespace {

constexpr int kSuffixLength = 4; // ".xls"

// "BILL_1234_a1B2c3.xls", also as the office's lock file ".~lock.BILL_1234_a1B2c3.xls#".
const QRegularExpression
    kWorkName(QStringLiteral("^(?:\\.~lock\\.)?[A-Z][A-Z_]*_([0-9]{1,10})_[A-Za-z0-9]{6}\\.xls#?$"));

bool processGone(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

} // namespace

QString WorkFiles::Create(const QString &folder, const QString &prefix, QString *error)
{
    QByteArray name = QFile::encodeName(
        QDir(folder).filePath(QStringLiteral("%1_%2_XXXXXX.xls").arg(prefix).arg(qint64(::getpid()))));
    const int fd = ::mkostemps(name.data(), kSuffixLength, O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = QStringLiteral("无法在%1创建打印用的工作文件：%2")
                         .arg(QDir::toNativeSeparators(folder), SystemError::Reason(errno));
        return QString();
    }
    ::close(fd);
    return QFile::decodeName(name);
}

qint64 WorkFiles::OwnerOf(const QString &fileName)
{
    const QRegularExpressionMatch m = kWorkName.match(fileName);
    return m.hasMatch() ? m.captured(1).toLongLong() : 0;
}

int WorkFiles::RemoveOrphans(const QString &folder)
{
    QDir dir(folder);
    int removed = 0;
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (processGone(OwnerOf(name)) && dir.remove(name))
            ++removed;
    return removed;
}

} // namespace quarvel
