#pragma once

#include "app/ScriptedPrompter.h"

namespace quarvel {

// The command-line tool's Prompter: every message goes to standard error as it
// is shown; questions take the default answer (the command itself is the
// operator's confirmation).
class ConsolePrompter : public ScriptedPrompter {
public:
    ConsolePrompter() : ScriptedPrompter(true) {}

protected:
    void record(Kind kind, const QString &title, const QString &text) override;
};

} // namespace quarvel
