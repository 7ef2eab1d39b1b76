#pragma once

#include "upload/UploadKind.h"

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl upload [IID ...|--all] and scans upload [IID ...|--all]: the
// upload job of the window, one line per record on standard output (id,
// status, text), the progress on standard error. Ctrl+C stops it after the
// record being sent.
class UploadCommand {
public:
    static int run(Cli &cli, const QStringList &args);
    static int runScans(Cli &cli, const QStringList &args);

private:
    static int upload(Cli &cli, const QStringList &args, UploadKind kind, const QString &command);
};

} // namespace quarvel
