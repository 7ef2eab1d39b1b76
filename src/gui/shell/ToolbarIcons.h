#pragma once

#include "shell/Command.h"

#include <QIcon>

namespace quarvel {

// The 16 × 15 toolbar pictures, drawn by the program: one simple symbol per
// command and the six frames of the upload animation.
class ToolbarIcons {
public:
    static QIcon For(Command command);
    static QIcon UploadFrame(int frame);
};

} // namespace quarvel
