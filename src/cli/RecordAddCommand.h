#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl records add FIELD=VALUE ...: fills the pre-entry page values
// from the arguments and saves through the page's own SaveRecord, so that a
// scripted record meets exactly the checks and messages of the window.
class RecordAddCommand {
public:
    static int run(Cli &cli, const QStringList &args);
};

} // namespace quarvel
