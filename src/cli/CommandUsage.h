#pragma once

#include <QString>
#include <QStringList>

namespace quarvel {

// The usage lines of quarvelctl: every command's for a run without
// arguments, a single command's (or subcommand's) after its usage error, so
// that the line that matters is not lost in the whole list.
class CommandUsage {
public:
    // "usage: quarvelctl [--root DIR] [--account NAME --password-stdin] COMMAND ..."
    static QString Synopsis();
    // The synopsis and every command's lines.
    static QString All();
    // --help: the synopsis, the options, every command's lines and the exit
    // codes; the manual page is made from it.
    static QString Help();
    // The lines of command[0], narrowed to command[1]'s when that
    // subcommand has lines of its own; empty for an unknown command.
    static QString Of(const QStringList &command);
    // The command names, in the order of the list.
    static QStringList Names();
};

} // namespace quarvel
