#pragma once

#include "app/ClientContext.h"
#include "shell/ClientStartup.h"
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

    bool InitInstance();
    int ExitInstance();

private:
    std::unique_ptr<ClientContext> context_;
    MessageBoxPrompter prompter_;
    DialogFileChooser files_;
    std::unique_ptr<ClientStartup> startup_;
};

} // namespace quarvel
