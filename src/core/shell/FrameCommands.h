#pragma once

#include "shell/Command.h"
#include "shell/PageFlags.h"

#include <QList>
#include <QString>

namespace quarvel {

// The state the frame's commands depend on.
struct FrameState {
    int page = -1; // index of the page showing, -1 for none
    PageFlags flags;
    bool listHasRows = false;
    bool loggedIn = false;
    int customerNumber = 0;
    bool uploading = false;
    bool toolbarShown = true;
    bool statusBarShown = true;
};

// The command table of the main frame: prompt texts, toolbar labels and
// layout, and when each command is enabled or checked.
class FrameCommands {
public:
    static bool IsEnabled(Command command, const FrameState &state);
    static bool IsChecked(Command command, const FrameState &state);
    // The status-bar help and tooltip, "help\nlabel".
    static QString PromptText(Command command);
    // The short name after the line break: the toolbar label.
    static QString Label(Command command);
    static QString Help(Command command);
    // Toolbar buttons left to right; CmdSeparator stands for a separator.
    static QList<Command> ToolbarLayout();
    static QList<Command> AnimationFrames();
    static bool IsAnimationFrame(Command command);
    // The page a showing command shows, -1 for other commands; and back.
    static int PageOf(Command command);
    static Command ShowingCommand(int page);
};

} // namespace quarvel
