#include "shell/ClientProgram.h"

#include "OfficeEngine.h"

namespace quarvel {

ClientProgram::ClientProgram(const QString &rootFolder, Prompter &prompter, FileChooser &files)
    : context_(std::make_unique<ClientContext>(rootFolder))
{
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
