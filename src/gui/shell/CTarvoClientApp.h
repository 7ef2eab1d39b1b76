#pragma once

#include "shell/ClientProgram.h"
#include "shell/DialogFileChooser.h"
#include "shell/MessageBoxPrompter.h"

#include <QApplication>

#include <memory>

namespace quarvel {

// The application object of the desktop client: owns the context built from
// the root folder (the program's folder, or --root DIR) for the whole run.
class CTarvoClientApp : public QApplication {
    Q_OBJECT

public:
    CTarvoClientApp(int &argc, char **argv);
    ~CTarvoClientApp() override;

    // The text of --help (the manual page is made from it).
    static QString Usage();
    // --help and --version, answered before the application object exists,
    // so that they need no display; true when one was answered.
    static bool AnswerInfoOption(int argc, char **argv);

    bool InitInstance();
    int ExitInstance();

private:
    MessageBoxPrompter prompter_;
    DialogFileChooser files_;
    std::unique_ptr<ClientProgram> program_;
};

} // namespace quarvel
