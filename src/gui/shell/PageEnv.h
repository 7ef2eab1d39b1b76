#pragma once

#include "list/ListSnapshot.h"

#include <QString>

#include <functional>

namespace quarvel {

class ClientContext;
class FileChooser;
class Prompter;

// What every page receives from the application when it is made: the context
// with the record files, the way to talk to the operator and to choose files,
// and the services that come from other layers.
struct PageEnv {
    ClientContext &context;
    Prompter &prompter;
    FileChooser &files;
    // Writes a list to an .xls workbook; shows its own messages. Empty while
    // no spreadsheet engine is available.
    std::function<bool(const QString &path, const ListSnapshot &list)> exportExcel;
    // Shows the progress of a page's long work in the status pane (an empty text clears it).
    std::function<void(const QString &text)> showOperation = {};
};

} // namespace quarvel
