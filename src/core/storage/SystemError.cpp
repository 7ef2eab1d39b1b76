#include "storage/SystemError.h"

#include <cerrno>
#include <cstring>

namespace quarvel {

QString SystemError::Reason(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("没有读写这个文件的权限。");
    case ENOSPC:
        return QStringLiteral("磁盘已满。");
    case EDQUOT:
        return QStringLiteral("磁盘配额已满。");
    case EROFS:
        return QStringLiteral("磁盘是只读的。");
    default:
        return QStringLiteral("系统错误 %1（%2）。").arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}

} // namespace quarvel
