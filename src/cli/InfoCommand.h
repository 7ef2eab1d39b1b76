#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl info RID [--html]: the information page of one shipment, as
// text, or as the HTML document the window shows.
class InfoCommand {
public:
    static int run(Cli &cli, const QStringList &args);
};

} // namespace quarvel
