#include "Cli.h"

#include "OfficeEngine.h"

#include "BalanceCommand.h"
#include "BaseDataCommand.h"
#include "CliLoginPrompt.h"
#include "ConfigCommand.h"
#include "ContactsCommand.h"
#include "DictionaryCommand.h"
#include "FontsCommand.h"
#include "InfoCommand.h"
#include "PriceCommand.h"
#include "PrintCommand.h"
#include "QueryCommand.h"
#include "QuoteCommand.h"
#include "RecordsCommand.h"
#include "ScaleCommand.h"
#include "ScansCommand.h"
#include "TemplatesCommand.h"
#include "TidyCommand.h"
#include "UploadCommand.h"

#include <QTextStream>

#include <cstdio>
#include <iostream>
#include <string>

namespace quarvel {

namespace {

const char kUsage[] = "usage: quarvelctl [--root DIR] [--account NAME --password-stdin] COMMAND ...\n"
                      "commands:\n"
                      "  records list [--json]\n"
                      "  records add FIELD=VALUE ... [goods=NAME:QUANTITY:PRICE ...]\n"
                      "              [piece=LENGTH:WIDTH:HEIGHT:GRAMS:SHARE ...]\n"
                      "  records show IID [--json]\n"
                      "  records delete IID\n"
                      "  records fields\n"
                      "  records import FILE [--dry-run]\n"
                      "  records export-header [PATH]\n"
                      "  contacts add FIELD=VALUE ...\n"
                      "  contacts list [--json]\n"
                      "  contacts show IID [--json]\n"
                      "  contacts delete IID\n"
                      "  contacts import FILE [--dry-run]\n"
                      "  contacts export-header [PATH]\n"
                      "  config set host|site VALUE\n"
                      "  config show\n"
                      "  basedata download\n"
                      "  basedata show [--json]\n"
                      "  balance\n"
                      "  upload [IID ...|--all]\n"
                      "  scans add FIELD=VALUE ...  (version kind num next exception flight signer time\n"
                      "                             place placeen info infoen)\n"
                      "  scans list [--json]\n"
                      "  scans show IID [--json]\n"
                      "  scans delete IID\n"
                      "  scans upload [IID ...|--all]\n"
                      "  tidy\n"
                      "  price [IID ...|--all]\n"
                      "  quote DESTINATION WEIGHT ITEMTYPE\n"
                      "  query records [NAME=VALUE ...] [--page N] [--json]\n"
                      "        (num pieces from to datemode kind types des regions paystate payways\n"
                      "         state settle sender depart receiver phone label)\n"
                      "  query fees [NAME=VALUE ...] [--page N] [--json]\n"
                      "        (invoice from to types min max operator)\n"
                      "  query pre [--page N] [--json]\n"
                      "  query delete-pre RID ...\n"
                      "  info RID [--html]\n"
                      "  scale show\n"
                      "  scale set FIELD=VALUE ...   (enabled type baud databits parity stopbits length\n"
                      "                               start transmission port device)\n"
                      "  scale read [--count N] [--timeout SECONDS] [--all]\n"
                      "  scale detect [--seconds N]\n"
                      "  templates list|download\n"
                      "  print waybill IID...|--all [--template NAME]\n"
                      "  print server-waybill RID... [--template NAME]\n"
                      "  print invoice IID...|--all [--save] [--template NAME]\n"
                      "  print labels IID...|--all [--template NAME]\n"
                      "  print history [--json]\n"
                      "  print again N [--copies N]\n"
                      "  dictionary suggest TEXT\n"
                      "  dictionary translate --to en|zh TEXT\n"
                      "  fonts status [--json]\n"
                      "  fonts install\n";

struct Command {
    const char *name;
    int (*run)(Cli &, const QStringList &);
};

const Command kCommands[] = {
    {"records", &RecordsCommand::run}, {"config", &ConfigCommand::run}, {"basedata", &BaseDataCommand::run},
    {"balance", &BalanceCommand::run}, {"upload", &UploadCommand::run}, {"scans", &ScansCommand::run},
    {"tidy", &TidyCommand::run},       {"price", &PriceCommand::run},   {"quote", &QuoteCommand::run},
    {"query", &QueryCommand::run},     {"info", &InfoCommand::run},
    {"scale", &ScaleCommand::run},
    {"contacts", &ContactsCommand::run},
    {"templates", &TemplatesCommand::run}, {"print", &PrintCommand::run}, {"dictionary", &DictionaryCommand::run},
    {"fonts", &FontsCommand::run},
};

} // namespace

bool Cli::parse(const QStringList &arguments)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == QLatin1String("--root") && i + 1 < arguments.size()) {
            root_ = arguments.at(++i);
        } else if (a == QLatin1String("--account") && i + 1 < arguments.size()) {
            account_ = arguments.at(++i);
        } else if (a == QLatin1String("--password-stdin")) {
            passwordStdin_ = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return false;
        } else {
            command_ = arguments.mid(i);
            break;
        }
    }
    // A password is never taken from the command line, where others see it.
    if (!account_.isEmpty() && !passwordStdin_) {
        err(QStringLiteral("--account needs --password-stdin\n"));
        return false;
    }
    if (passwordStdin_) {
        std::string line;
        std::getline(std::cin, line);
        password_ = QString::fromUtf8(line).remove(u'\r');
    }
    return !command_.isEmpty();
}

int Cli::run()
{
    for (const Command &c : kCommands)
        if (command_.first() == QLatin1String(c.name))
            return c.run(*this, command_.mid(1));
    return usage(QStringLiteral("unknown command: %1").arg(command_.first()));
}

ClientContext *Cli::context(RecordFile::Mode mode)
{
    if (!context_) {
        context_ = std::make_unique<ClientContext>(root_.isEmpty() ? ClientContext::programFolder() : root_);
        // The office itself starts only when a command first needs it.
        context_->setSpreadsheetEngine(&OfficeEngine::processEngine());
        if (!context_->Start(prompter_, mode)) {
            context_.reset();
            return nullptr;
        }
    }
    return context_.get();
}

bool Cli::ensureLoggedIn(ClientContext &context)
{
    CliLoginPrompt prompt(account_, password_, context.lastAccountPath(), prompter_);
    return EnsureLoggedIn(context.session(), prompt);
}

void Cli::out(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stdout);
}

void Cli::err(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stderr);
}

int Cli::usage(const QString &text)
{
    if (!text.isEmpty())
        err(text + u'\n');
    std::fputs(kUsage, stderr);
    return Failed;
}

} // namespace quarvel
