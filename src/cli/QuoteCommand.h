#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl quote DESTINATION WEIGHT ITEMTYPE: the server's quotation, the
// title line and then one line per express kind (kind, freight, remark).
// ITEMTYPE is 0, 1 or 2, or 文件, 包裹 or 防水袋.
class QuoteCommand {
public:
    static int run(Cli &cli, const QStringList &args);
};

} // namespace quarvel
