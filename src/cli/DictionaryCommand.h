#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl dictionary suggest TEXT: the goods names offered while TEXT is
// typed (code, Chinese, English); dictionary translate --to en|zh TEXT: the
// translation an invoice prints.
class DictionaryCommand {
public:
    static int run(Cli &cli, const QStringList &args);
};

} // namespace quarvel
