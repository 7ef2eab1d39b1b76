#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl phrases ...: the prompt phrases of prompt.dat, offered while
// typing remarks and labels. `add` and `delete` edit the prompt-phrase
// dialog's form and submit it, so the file is written and read back as the
// dialog does; a phrase the dialog's box could not hold is refused and
// nothing is written.
class PhrasesCommand {
public:
    static int run(Cli &cli, const QStringList &args);

private:
    static int list(Cli &cli, const QStringList &args);
    static int edit(Cli &cli, const QStringList &args, bool add);
};

} // namespace quarvel
