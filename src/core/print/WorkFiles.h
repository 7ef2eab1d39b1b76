#pragma once

#include <QString>

namespace quarvel {

// The working files of printing in DATA_TEMP ("BILL_<pid>_<random>.xls"):
// each is created exclusively under a name that carries the process id and a
// random part, so neither another document of this process nor another
// program printing at the same moment can take it. The process id tells at
// the next start which files a killed print left behind.
class WorkFiles {
public:
    // A new empty file "<prefix>_<pid>_<random>.xls" in the folder; empty with
    // the reason in `error` when none could be created.
    static QString Create(const QString &folder, const QString &prefix, QString *error = nullptr);
    // Removes the working files (and the office's lock files of them) whose
    // process has ended; the number removed.
    static int RemoveOrphans(const QString &folder);
    // The process id a working file name carries; 0 for any other name.
    static qint64 OwnerOf(const QString &fileName);
};

} // namespace quarvel
