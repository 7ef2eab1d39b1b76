#pragma once

#include "print/TemplateKind.h"
#include "shell/PageEnv.h"

#include <QSize>

#include <functional>
#include <memory>

class QDialog;
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

    // "选择…模版": the choice dialog of a kind, then the chosen template
    // loaded (its message when it cannot be); true when one was chosen.
    bool ChooseTemplate(TemplateKind kind);
    // How the frame-level dialogs run (tests look at them and answer).
    void setDialogRunner(std::function<int(QDialog &)> runner) { runDialog_ = std::move(runner); }

private:
    CRecordListPane *makePage(int index, QWidget *parent);
    void registerUploadPage(int index, CRecordListPane *page);
    void registerCommands();
    void registerPrintCommands();

    ClientContext &context_;
    PageEnv env_;
    QSize screen_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<UploadController> uploads_;
    std::function<int(QDialog &)> runDialog_;
};

} // namespace quarvel
