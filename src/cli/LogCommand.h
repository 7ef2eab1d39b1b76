#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl log [--lines N]: the last lines of the installation's support
// log (20 by default), the oldest first. It opens no record file, so it can
// be read while the window runs or after a start-up that failed.
class LogCommand {
public:
    static int run(Cli &cli, const QStringList &args);
};

} // namespace quarvel
