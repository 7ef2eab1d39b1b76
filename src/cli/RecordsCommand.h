#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl records ...: the pre-entry records of the local files.
class RecordsCommand {
public:
    static int run(Cli &cli, const QStringList &args);

private:
    static int remove(Cli &cli, const QStringList &args);
    static int fields();
};

} // namespace quarvel
