#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl config ...: the installation's server host and site code.
class ConfigCommand {
public:
    static int run(Cli &cli, const QStringList &args);

private:
    static int set(Cli &cli, const QStringList &args);
    static int show(Cli &cli);
};

} // namespace quarvel
