#include "CommandUsage.h"

namespace quarvel {

namespace {

struct Lines {
    const char *command;
    const char *sub; // null: the command has no subcommands
    const char *text;
};

const Lines kLines[] = {
    {"records", "list", "records list [--json]\n"},
    {"records", "add",
     "records add FIELD=VALUE ... [goods=NAME:QUANTITY:PRICE ...]\n"
     "            [piece=LENGTH:WIDTH:HEIGHT:GRAMS:SHARE ...]   (records fields lists the fields)\n"},
    {"records", "show", "records show IID [--json]\n"},
    {"records", "delete", "records delete IID\n"},
    {"records", "fields", "records fields\n"},
    {"records", "import", "records import FILE [--dry-run] [--map \"表头=字段,...\"]\n"},
    {"records", "export-header", "records export-header [PATH]\n"},
    {"contacts", "add",
     "contacts add FIELD=VALUE ...   (ccode cname cphone ccorp caddr ccountry cprov ccity czip cmail csms "
     "cremark)\n"},
    {"contacts", "list", "contacts list [--json]\n"},
    {"contacts", "show", "contacts show IID [--json]\n"},
    {"contacts", "delete", "contacts delete IID\n"},
    {"contacts", "import", "contacts import FILE [--dry-run] [--map \"表头=字段,...\"]\n"},
    {"contacts", "export-header", "contacts export-header [PATH]\n"},
    {"config", "set", "config set host|site VALUE\n"},
    {"config", "show", "config show\n"},
    {"settings", "show", "settings show [--json]\n"},
    {"settings", "set",
     "settings set NAME=VALUE ...   (program origin sender department phone postcode company address\n"
     "                               country province city mail sms)\n"},
    {"phrases", "list", "phrases list\n"},
    {"phrases", "add", "phrases add PHRASE ...\n"},
    {"phrases", "delete", "phrases delete PHRASE ...\n"},
    {"basedata", "download", "basedata download\n"},
    {"basedata", "show", "basedata show [--json]\n"},
    {"balance", nullptr, "balance   (logs in)\n"},
    {"upload", nullptr, "upload IID ...|--all   (logs in)\n"},
    {"scans", "add",
     "scans add FIELD=VALUE ...   (version kind num next exception flight signer time\n"
     "                             place placeen info infoen)\n"},
    {"scans", "list", "scans list [--json]\n"},
    {"scans", "show", "scans show IID [--json]\n"},
    {"scans", "delete", "scans delete IID\n"},
    {"scans", "upload", "scans upload IID ...|--all   (logs in)\n"},
    {"tidy", nullptr, "tidy   (logs in)\n"},
    {"price", nullptr, "price IID ...|--all   (logs in)\n"},
    {"quote", nullptr, "quote DESTINATION WEIGHT ITEMTYPE   (without --account: the price page's URL)\n"},
    {"query", "records",
     "query records [NAME=VALUE ...] [--page N] [--json]   (logs in)\n"
     "      (num pieces from to datemode kind types des regions paystate payways\n"
     "       state settle sender depart receiver phone label wmin wmax fmin fmax)\n"},
    {"query", "fees",
     "query fees [NAME=VALUE ...] [--page N] [--json]   (logs in)\n"
     "      (invoice from to types min max operator)\n"},
    {"query", "pre", "query pre [--page N] [--json]   (logs in)\n"},
    {"query", "delete-pre", "query delete-pre RID ...   (logs in)\n"},
    {"info", nullptr, "info RID [--html]   (logs in)\n"},
    {"scale", "show", "scale show\n"},
    {"scale", "set",
     "scale set FIELD=VALUE ...   (enabled type baud databits parity stopbits length\n"
     "                             start transmission port device)\n"},
    {"scale", "read", "scale read [--count N] [--timeout SECONDS] [--all]\n"},
    {"scale", "detect", "scale detect [--seconds N]\n"},
    {"templates", "list", "templates list\n"},
    {"templates", "download", "templates download\n"},
    {"print", "waybill", "print waybill IID...|--all [--template NAME]\n"},
    {"print", "server-waybill", "print server-waybill RID... [--template NAME]   (logs in)\n"},
    {"print", "invoice", "print invoice IID...|--all [--save] [--template NAME]\n"},
    {"print", "labels", "print labels IID...|--all [--template NAME]\n"},
    {"print", "manifest", "print manifest [--date YYYY-MM-DD] [--template NAME]\n"},
    {"print", "history", "print history [--json]\n"},
    {"print", "again", "print again N [--copies N]\n"},
    {"dictionary", "suggest", "dictionary suggest TEXT\n"},
    {"dictionary", "translate", "dictionary translate --to en|zh TEXT\n"},
    {"fonts", "status", "fonts status [--json]\n"},
    {"fonts", "install", "fonts install\n"},
    {"report", "day", "report day [--date YYYY-MM-DD] [--json]   (compared with the server after a login)\n"},
    {"log", nullptr, "log [--lines N]   (the last N lines of the support log, 20 by default)\n"},
    {"help", nullptr, "help [COMMAND [SUBCOMMAND]]\n"},
};

// Every line of the entry indented under "commands:" or "usage:".
QString indented(const char *text)
{
    QString out;
    for (const QString &line : QString::fromUtf8(text).split(u'\n', Qt::SkipEmptyParts))
        out += QStringLiteral("  ") + line + u'\n';
    return out;
}

} // namespace

QString CommandUsage::Synopsis()
{
    return QStringLiteral("usage: quarvelctl [--root DIR] [--account NAME --password-stdin] COMMAND ...\n");
}

QString CommandUsage::All()
{
    QString out = Synopsis() + QStringLiteral("commands:\n");
    for (const Lines &l : kLines)
        out += indented(l.text);
    return out;
}

QString CommandUsage::Help()
{
    return Synopsis() +
           QStringLiteral("\n"
                          "The command-line companion of the Quarvel counter client: the same records, checks,\n"
                          "uploads, queries and printouts as the window, for scripts and nightly jobs.\n"
                          "\n"
                          "options:\n"
                          "  --root DIR          the folder that holds DATA, DATA_SYS, DATA_TEMP and DATA_MODEL\n"
                          "                      (default: the program's folder; for an installed program\n"
                          "                      $XDG_DATA_HOME/quarvel, else ~/.local/share/quarvel)\n"
                          "  --account NAME      the account to log in with (needs --password-stdin)\n"
                          "  --password-stdin    read the password from the first line of standard input\n"
                          "                      (without --account: the account of the last session)\n"
                          "  --help              this text\n"
                          "  --version           the program's version\n"
                          "\n") +
           All().mid(Synopsis().size()) +
           QStringLiteral("\n"
                          "exit codes:\n"
                          "  0  done\n"
                          "  1  refused by a check or by the server (the message on standard error)\n"
                          "  2  usage or environment error\n"
                          "\n"
                          "files:\n"
                          "  DATA_SYS/log/quarvel.log   the support log of the window and of quarvelctl\n");
}

QString CommandUsage::Of(const QStringList &command)
{
    const QString name = command.value(0);
    const QString sub = command.value(1);
    QString all;
    QString narrowed;
    for (const Lines &l : kLines) {
        if (name != QLatin1String(l.command))
            continue;
        all += indented(l.text);
        if (l.sub && sub == QLatin1String(l.sub))
            narrowed += indented(l.text);
    }
    if (all.isEmpty())
        return {};
    return QStringLiteral("usage: quarvelctl [--root DIR] [--account NAME --password-stdin]\n") +
           (narrowed.isEmpty() ? all : narrowed);
}

QStringList CommandUsage::Names()
{
    QStringList names;
    for (const Lines &l : kLines)
        if (!names.contains(QLatin1String(l.command)))
            names.append(QString::fromLatin1(l.command));
    return names;
}

} // namespace quarvel
