#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl fonts ...:
//   status [--json]  each Code-39 face of the label templates, whether it
//                    resolves (fc-match) and to which family and file; ends
//                    with 1 when one does not resolve
//   install          installs the shipped barcode fonts for the user (the
//                    files written, one a line); the problem on standard
//                    error and 1 when it cannot be done
class FontsCommand {
public:
    static int run(Cli &cli, const QStringList &args);
};

} // namespace quarvel
