#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl basedata ...: download the base data, show what is loaded.
class BaseDataCommand {
public:
    static int run(Cli &cli, const QStringList &args);

private:
    static int download(Cli &cli);
    static int show(Cli &cli, const QStringList &args);
};

} // namespace quarvel
