#include "storage/PrivateFolder.h"

#include "storage/SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvel {

namespace {

bool refuse(QString *error, const QString &path, const QString &why)
{
    if (error)
        *error = QStringLiteral("文件夹%1不能使用：%2").arg(QDir::toNativeSeparators(path), why);
    return false;
}

} // namespace

bool PrivateFolder::Ensure(const QString &path, QString *error)
{
    const QByteArray name = QFile::encodeName(path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return refuse(error, path, SystemError::Reason(errno));
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0)
        return refuse(error, path, SystemError::Reason(errno));
    if (S_ISLNK(st.st_mode))
        return refuse(error, path, QStringLiteral("它是一个符号链接。"));
    if (!S_ISDIR(st.st_mode))
        return refuse(error, path, QStringLiteral("它不是文件夹。"));
    if (st.st_uid != ::geteuid())
        return refuse(error, path, QStringLiteral("它属于另一个用户（uid %1）。").arg(st.st_uid));
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return refuse(
            error, path,
            QStringLiteral("同组或其他用户可以写入它（权限 %1）。").arg(st.st_mode & 07777, 4, 8, QChar(u'0')));
    return true;
}

} // namespace quarvel
