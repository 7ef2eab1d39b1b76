#pragma once

#include <QStringList>

namespace quarvel {

class Cli;

// quarvelctl templates list: every template of DATA_MODEL by kind ("*" marks
// the one loaded at start-up); templates download: "下载更新打印模版".
class TemplatesCommand {
public:
    static int run(Cli &cli, const QStringList &args);
};

} // namespace quarvel
