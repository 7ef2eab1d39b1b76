#pragma once

#include "app/ClientContext.h"
#include "shell/ClientStartup.h"

#include <memory>

namespace quarvel {

class FileChooser;
class Prompter;

// The desktop client as `quarvel` runs it: the context built from the root
// folder with the process's spreadsheet engine, and the start-up and
// shutdown around it. The application object owns one with message boxes
// and file dialogs; GUI tests own one with scripted answers, so that what
// they test is the window the program really starts.
class ClientProgram {
public:
    ClientProgram(const QString &rootFolder, Prompter &prompter, FileChooser &files);
    ~ClientProgram();
    ClientProgram(const ClientProgram &) = delete;
    ClientProgram &operator=(const ClientProgram &) = delete;

    bool InitInstance(bool showWindow = true) { return startup_->InitInstance(showWindow); }
    int ExitInstance() { return startup_->ExitInstance(); }

    ClientContext &context() { return *context_; }
    ClientStartup &startup() { return *startup_; }
    CMainFrame *frame() const { return startup_->frame(); }

private:
    std::unique_ptr<ClientContext> context_;
    std::unique_ptr<ClientStartup> startup_;
};

} // namespace quarvel
