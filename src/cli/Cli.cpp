#include "Cli.h"

#include "OfficeEngine.h"

#include "BalanceCommand.h"
#include "BaseDataCommand.h"
#include "CliLoginPrompt.h"
#include "CommandUsage.h"
#include "ConfigCommand.h"
#include "ContactsCommand.h"
#include "DictionaryCommand.h"
#include "FontsCommand.h"
#include "InfoCommand.h"
#include "LogCommand.h"
#include "PhrasesCommand.h"
#include "PriceCommand.h"
#include "PrintCommand.h"
#include "QueryCommand.h"
#include "QuoteCommand.h"
#include "RecordsCommand.h"
#include "ReportCommand.h"
#include "ScaleCommand.h"
#include "ScansCommand.h"
#include "SettingsCommand.h"
#include "TemplatesCommand.h"
#include "TidyCommand.h"
#include "UploadCommand.h"
#include "app/ProgramVersion.h"
#include "app/RootFolder.h"
#include "app/SupportLog.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace quarvel {

namespace {

struct Command {
    const char *name;
    int (*run)(Cli &, const QStringList &);
};

const Command kCommands[] = {
    {"records", &RecordsCommand::run},     {"contacts", &ContactsCommand::run}, {"config", &ConfigCommand::run},
    {"settings", &SettingsCommand::run},   {"phrases", &PhrasesCommand::run},   {"basedata", &BaseDataCommand::run},
    {"balance", &BalanceCommand::run},     {"upload", &UploadCommand::run},     {"scans", &ScansCommand::run},
    {"tidy", &TidyCommand::run},           {"price", &PriceCommand::run},       {"quote", &QuoteCommand::run},
    {"query", &QueryCommand::run},         {"info", &InfoCommand::run},         {"scale", &ScaleCommand::run},
    {"templates", &TemplatesCommand::run}, {"print", &PrintCommand::run},       {"dictionary", &DictionaryCommand::run},
    {"fonts", &FontsCommand::run},         {"report", &ReportCommand::run},     {"log", &LogCommand::run},
};

} // namespace

int Cli::start(const QStringList &arguments)
{
    if (arguments.isEmpty()) {
        err(CommandUsage::All());
        return Failed;
    }
    if (ProgramVersion::AnswerInfoOption(QStringLiteral("quarvelctl"), CommandUsage::Help(), arguments))
        return Done;
    if (!parse(arguments))
        return Failed;
    if (command_.isEmpty()) {
        err(QStringLiteral("a command is needed\n") + CommandUsage::All());
        return Failed;
    }
    return run();
}

bool Cli::parse(const QStringList &arguments)
{
    const auto wrong = [](const QString &why) {
        err(why + u'\n' + CommandUsage::Synopsis());
        return false;
    };
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        const bool valued = a == QLatin1String("--root") || a == QLatin1String("--account");
        if (valued && i + 1 >= arguments.size())
            return wrong(QStringLiteral("%1 needs a value").arg(a));
        if (a == QLatin1String("--root")) {
            root_ = arguments.at(++i);
        } else if (a == QLatin1String("--account")) {
            account_ = arguments.at(++i);
        } else if (a == QLatin1String("--password-stdin")) {
            passwordStdin_ = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return wrong(QStringLiteral("unknown option %1").arg(a));
        } else {
            command_ = arguments.mid(i);
            break;
        }
    }
    // A password is never taken from the command line, where others see it.
    if (!account_.isEmpty() && !passwordStdin_)
        return wrong(QStringLiteral("--account needs --password-stdin"));
    if (passwordStdin_) {
        std::string line;
        std::getline(std::cin, line);
        password_ = QString::fromUtf8(line).remove(u'\r');
    }
    return true;
}

int Cli::run()
{
    if (command_.first() == QLatin1String("help"))
        return help(command_.mid(1));
    for (const Command &c : kCommands) {
        if (command_.first() != QLatin1String(c.name))
            continue;
        const int code = c.run(*this, command_.mid(1));
        if (code != Usage)
            return code;
        err(CommandUsage::Of(command_));
        return Failed;
    }
    err(QStringLiteral("unknown command: %1\n%2commands: %3\n(quarvelctl without arguments lists them with their "
                       "arguments)\n")
            .arg(command_.first(), CommandUsage::Synopsis(), CommandUsage::Names().join(u' ')));
    return Failed;
}

int Cli::help(const QStringList &command)
{
    if (command.isEmpty()) {
        out(CommandUsage::Help());
        return Done;
    }
    const QString lines = CommandUsage::Of(command);
    if (lines.isEmpty()) {
        err(QStringLiteral("unknown command: %1\ncommands: %2\n")
                .arg(command.first(), CommandUsage::Names().join(u' ')));
        return Failed;
    }
    out(lines);
    return Done;
}

ClientContext *Cli::context(RecordFile::Mode mode)
{
    if (!context_) {
        context_ = std::make_unique<ClientContext>(rootFolder());
        // The office itself starts only when a command first needs it.
        context_->setSpreadsheetEngine(&OfficeEngine::processEngine());
        if (!context_->Start(prompter_, mode)) {
            context_.reset();
            return nullptr;
        }
    }
    return context_.get();
}

QString Cli::rootFolder() const
{
    return RootFolder::Choose(root_, ClientContext::programFolder());
}

int Cli::logIn(ClientContext &context)
{
    if (context.session().loggedIn())
        return Done;
    // Without a password there is nothing to try: the server would only
    // refuse the last account with an empty one.
    if (!passwordStdin_) {
        prompter_.error(QString(), CliLoginPrompt::NeededText());
        return Usage;
    }
    CliLoginPrompt prompt(account_, password_, context.lastAccountPath(), prompter_);
    EnsureLoggedIn(context.session(), prompt);
    switch (prompt.outcome()) {
    case LoginForm::Outcome::LoggedIn:
        return Done;
    case LoginForm::Outcome::NotTried:
        return Usage;
    case LoginForm::Outcome::Refused:
        return Refused;
    case LoginForm::Outcome::NoConnection:
        break;
    }
    return Failed;
}

void Cli::out(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stdout);
}

void Cli::err(const QString &text)
{
    SupportLog::Process().Message(QStringLiteral("quarvelctl"), QString(), text);
    std::fputs(text.toUtf8().constData(), stderr);
}

int Cli::usage(const QString &text)
{
    if (!text.isEmpty())
        err(text + u'\n');
    return Usage;
}

} // namespace quarvel
