#include "shell/CTarvoClientApp.h"

#include "OfficeEngine.h"

#include <QCommandLineParser>

namespace quarvel {

CTarvoClientApp::CTarvoClientApp(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("quarvel"));
    QCommandLineParser parser;
    const QCommandLineOption root(QStringLiteral("root"), QStringLiteral("The folder that holds the data folders."),
                                  QStringLiteral("DIR"));
    parser.addOption(root);
    parser.addHelpOption();
    parser.process(*this);
    program_ = std::make_unique<ClientProgram>(parser.isSet(root) ? parser.value(root) : ClientContext::programFolder(),
                                               prompter_, files_);
}

CTarvoClientApp::~CTarvoClientApp()
{
    program_.reset();
    OfficeEngine::shutdownProcessEngine();
}

bool CTarvoClientApp::InitInstance()
{
    return program_->InitInstance();
}

int CTarvoClientApp::ExitInstance()
{
    return program_->ExitInstance();
}

} // namespace quarvel
