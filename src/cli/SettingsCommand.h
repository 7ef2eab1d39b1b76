#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl settings ...: the program settings of prgset.dat (the program
// number, the default origin and sender). `set` puts the named values into
// the settings dialog's form and confirms it, so that they are saved as the
// dialog saves them; a value the dialog's boxes would not take is refused
// and nothing is written.
class SettingsCommand {
public:
    static int run(Cli &cli, const QStringList &args);

private:
    static int show(Cli &cli, const QStringList &args);
    static int set(Cli &cli, const QStringList &args);
};

} // namespace quarvel
