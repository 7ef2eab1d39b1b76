#include "shell/CTarvoClientApp.h"

#include "OfficeEngine.h"
#include "app/ProgramVersion.h"
#include "app/RootFolder.h"

#include <QCommandLineParser>

namespace quarvel {

CTarvoClientApp::CTarvoClientApp(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("quarvel"));
    setApplicationVersion(ProgramVersion::Text());
    QCommandLineParser parser;
    const QCommandLineOption root(QStringLiteral("root"), QStringLiteral("The folder that holds the data folders."),
                                  QStringLiteral("DIR"));
    parser.addOption(root);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(*this);
    program_ = std::make_unique<ClientProgram>(RootFolder::Choose(parser.value(root), ClientContext::programFolder()),
                                               prompter_, files_);
}

QString CTarvoClientApp::Usage()
{
    return QStringLiteral("usage: quarvel [--root DIR]\n"
                          "\n"
                          "The counter program of the courier company: keys in outgoing shipments, prints labels,\n"
                          "waybills and invoices from spreadsheet templates, uploads them to the company server,\n"
                          "queries the server, records checkpoint scans, keeps an address book and reads an\n"
                          "electronic scale.\n"
                          "\n"
                          "options:\n"
                          "  --root DIR    the folder that holds DATA, DATA_SYS, DATA_TEMP and DATA_MODEL\n"
                          "                (default: the program's folder; for an installed program\n"
                          "                $XDG_DATA_HOME/quarvel, else ~/.local/share/quarvel, made on first start\n"
                          "                with the shipped templates and dictionary)\n"
                          "  --help        this text\n"
                          "  --version     the program's version\n"
                          "\n"
                          "files:\n"
                          "  DATA_SYS/log/quarvel.log   the support log (帮助 > 打开日志文件夹)\n"
                          "  DATA_SYS/server.cfg        the server host and the site code\n"
                          "\n"
                          "see also:\n"
                          "  quarvelctl(1), tarvo-server(1)\n");
}

bool CTarvoClientApp::AnswerInfoOption(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return ProgramVersion::AnswerInfoOption(QStringLiteral("quarvel"), Usage(), arguments);
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
