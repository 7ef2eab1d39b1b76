#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl balance: the account balance summary of the logged-in customer.
class BalanceCommand {
public:
    static int run(Cli &cli, const QStringList &args);
};

} // namespace quarvel
