#pragma once

#include <QString>

namespace quarvel {

// The system's reason for a failed file operation, in the operator's words.
class SystemError {
public:
    // "磁盘已满。" for a full disk, "没有读写这个文件的权限。" ... and the
    // system's own text for the rest.
    static QString Reason(int error);
};

} // namespace quarvel
