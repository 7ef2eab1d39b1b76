#include "shell/ClientProgram.h"

#include "OfficeEngine.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace quarvel {

namespace {

// The program speaks Chinese: Qt's own buttons and file dialogs too. Once per
// process; a missing translation leaves Qt's English.
void installQtTranslations()
{
    static bool installed = false;
    if (installed || !QCoreApplication::instance())
        return;
    installed = true;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

} // namespace

ClientProgram::ClientProgram(const QString &rootFolder, Prompter &prompter, FileChooser &files)
    : context_(std::make_unique<ClientContext>(rootFolder))
{
    installQtTranslations();
    // The office itself starts only when a command first needs it.
    context_->setSpreadsheetEngine(&OfficeEngine::processEngine());
    startup_ = std::make_unique<ClientStartup>(*context_, prompter, files);
}

ClientProgram::~ClientProgram()
{
    startup_.reset();
    context_.reset();
}

} // namespace quarvel
