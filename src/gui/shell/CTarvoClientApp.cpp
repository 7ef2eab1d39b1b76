#include "shell/CTarvoClientApp.h"

#include "OfficeEngine.h"

#include <QCommandLineParser>

namespace quarvel {

CTarvoClientApp::CTarvoClientApp(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("quarvel"));
    setApplicationDisplayName(ClientContext::applicationTitle());
    QCommandLineParser parser;
    const QCommandLineOption root(QStringLiteral("root"), QStringLiteral("The folder that holds the data folders."),
                                  QStringLiteral("DIR"));
    parser.addOption(root);
    parser.addHelpOption();
    parser.process(*this);
    context_ =
        std::make_unique<ClientContext>(parser.isSet(root) ? parser.value(root) : ClientContext::programFolder());
    context_->setSpreadsheetEngine(&OfficeEngine::processEngine());
    startup_ = std::make_unique<ClientStartup>(*context_, prompter_, files_);
}

CTarvoClientApp::~CTarvoClientApp()
{
    startup_.reset();
    context_.reset();
    OfficeEngine::shutdownProcessEngine();
}

bool CTarvoClientApp::InitInstance()
{
    return startup_->InitInstance();
}

int CTarvoClientApp::ExitInstance()
{
    return startup_->ExitInstance();
}

} // namespace quarvel
