#pragma once

#include "shell/PageEnv.h"

#include <QSize>

#include <memory>

class QWidget;

namespace quarvel {

class CMainFrame;
class CRecordListPane;
class ClientContext;
class FileChooser;
class Prompter;
class UploadController;

// The start-up and shutdown of the desktop client around one context: the
// checks and files, the base data, the main window shown maximised, then the
// settings and the rest in their order. A failure before the window shows
// ends the program after its message.
class ClientStartup {
public:
    ClientStartup(ClientContext &context, Prompter &prompter, FileChooser &files);
    ~ClientStartup();

    bool InitInstance(bool showWindow = true);
    int ExitInstance();

    CMainFrame *frame() const { return frame_.get(); }
    UploadController *uploads() const { return uploads_.get(); }
    PageEnv &env() { return env_; }
    QSize screenSize() const { return screen_; }

private:
    CRecordListPane *makePage(int index, QWidget *parent);
    void registerUploadPage(int index, CRecordListPane *page);
    void registerCommands();

    ClientContext &context_;
    PageEnv env_;
    QSize screen_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<UploadController> uploads_;
};

} // namespace quarvel
