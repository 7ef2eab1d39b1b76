#pragma once

#include "upload/UploadEnding.h"

#include <QString>

namespace quarvel {

// The status-bar texts of an upload run.
class UploadProgress {
public:
    // "共 %d 条，已处理 %d 条(%d%%)。%d 成功; %d 失败。"
    static QString counts(int total, int successes, int failures);
    // The text of a transport failure (an HttpPost error code, or the
    // worker's own UploadJob::kNotJournaled).
    static QString transportText(int code);
    // The end of a run whose journal could not be written, with the reason.
    static QString journalText(const QString &reason);
    // The last text of a run.
    static QString final(UploadEnding ending, int code, int total, int successes, int failures);
};

} // namespace quarvel
