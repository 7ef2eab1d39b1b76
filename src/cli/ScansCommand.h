#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl scans ...: the checkpoint scans of the local files. `scans add`
// saves one scan through the scan page's own form, so it passes exactly the
// page's checks and messages; `scans upload` is the upload of the window.
class ScansCommand {
public:
    static int run(Cli &cli, const QStringList &args);

private:
    static int add(Cli &cli, const QStringList &args);
    static int remove(Cli &cli, const QStringList &args);
};

} // namespace quarvel
