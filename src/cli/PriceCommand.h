#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl price [IID ...|--all]: the freight of each record from the
// server, stored as its fee; one line per record (id, fee or "-" with the
// reason).
class PriceCommand {
public:
    static int run(Cli &cli, const QStringList &args);
};

} // namespace quarvel
