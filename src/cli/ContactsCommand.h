#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl contacts ...: the address book. `add` fills the page values
// from FIELD=VALUE arguments and saves through the page's own SaveContact,
// so that a scripted contact meets exactly the checks of the window.
class ContactsCommand {
public:
    static int run(Cli &cli, const QStringList &args);

private:
    static int add(Cli &cli, const QStringList &args);
    static int remove(Cli &cli, const QStringList &args);
    static int importSheet(Cli &cli, const QStringList &args);
    static int exportHeader(Cli &cli, const QStringList &args);
};

} // namespace quarvel
