#pragma once

#include <QString>
#include <QStringList>

namespace quarvel {

// The version of the programs, set by the build (the project's version), and
// the answers every program gives to --version and --help before it opens
// anything, so that they work without a display or an installation.
class ProgramVersion {
public:
    // "0.1.0"
    static QString Text();
    // "quarvelctl 0.1.0"
    static QString Line(const QString &program);
    // When the arguments (without the program name) are exactly --version or
    // --help (-h), prints the version line or the usage on standard output
    // and returns true.
    static bool AnswerInfoOption(const QString &program, const QString &usage, const QStringList &arguments);
};

} // namespace quarvel
