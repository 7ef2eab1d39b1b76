#pragma once

#include <QString>

namespace quarvel {

// Which root folder a run uses. A build-tree or hand-copied program keeps its
// data beside itself; an installed one (a program folder it may not write, or
// one with the shipped data installed beside it as in /usr/bin and
// /usr/share/quarvel) keeps it below the user's data folder, where start-up
// makes it and copies the shipped data in.
class RootFolder {
public:
    // The given root when there is one, else the program folder or, for an
    // installed program, UserRoot(); ends in "/".
    static QString Choose(const QString &given, const QString &programFolder);
    // $XDG_DATA_HOME/quarvel, else ~/.local/share/quarvel; ends in "/".
    static QString UserRoot();
    static bool IsInstalled(const QString &programFolder);
};

} // namespace quarvel
