#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl scale ...: the electronic scale's settings, its weights as they
// arrive, and the guess of an unknown scale's frame format.
class ScaleCommand {
public:
    static int run(Cli &cli, const QStringList &args);

private:
    static int show(Cli &cli);
    static int set(Cli &cli, const QStringList &args);
    static int read(Cli &cli, const QStringList &args);
    static int detect(Cli &cli, const QStringList &args);
};

} // namespace quarvel
