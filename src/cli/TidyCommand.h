#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl tidy: completes the provisional waybill numbers of every
// pre-entry record with the logged-in customer's id; one line per record
// changed (id, new number).
class TidyCommand {
public:
    static int run(Cli &cli, const QStringList &args);
};

} // namespace quarvel
