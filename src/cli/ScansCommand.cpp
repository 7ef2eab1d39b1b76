#include "ScansCommand.h"

#include "Cli.h"
#include "RecordIds.h"
#include "RecordListing.h"
#include "UploadCommand.h"
#include "scan/CheckForm.h"
#include "text/ControlText.h"
#include "text/Gbk.h"

#include <optional>

namespace quarvel {

namespace {

const QString kAddUsage = QStringLiteral(
    "scans add: FIELD=VALUE expected (version, kind, num, next, exception, flight, signer, time, place, placeen, "
    "info, infoen), got %1");

// A choice given by its index or by its name in the page's list.
std::optional<int> choice(const QString &value, const QStringList &names)
{
    bool ok = false;
    const int index = value.trimmed().toInt(&ok);
    if (ok)
        return index >= 0 && index < names.size() ? std::optional<int>(index) : std::nullopt;
    const qsizetype named = names.indexOf(value.trimmed());
    return named >= 0 ? std::optional<int>(int(named)) : std::nullopt;
}

QString *textField(CheckValues &v, const QString &name)
{
    const std::pair<const char *, QString *> texts[] = {
        {"num", &v.number},  {"next", &v.next},       {"signer", &v.signer}, {"time", &v.time},
        {"place", &v.place}, {"placeen", &v.placeEn}, {"info", &v.info},     {"infoen", &v.infoEn}};
    for (const auto &[field, text] : texts)
        if (name == QLatin1String(field))
            return text;
    return nullptr;
}

// What the page's list of a choice offers, for its refusal.
int refuseChoice(Cli &cli, const QString &caption, const QString &offered, const QString &value)
{
    cli.prompter().error(QString(), QStringLiteral("[%1]只能是 %2：%3").arg(caption, offered, value));
    return Cli::Refused;
}

// One FIELD=VALUE of the page; the kind was applied first.
int apply(Cli &cli, CheckForm &form, const QString &name, const QString &value)
{
    CheckValues &v = form.values();
    if (QString *text = textField(v, name)) {
        *text = value;
        return Cli::Done;
    }
    if (name == QLatin1String("version")) {
        const auto version = choice(value, CheckValues::versionNames());
        if (!version)
            return refuseChoice(cli, QStringLiteral("版本"), QStringLiteral("0-2 或 中文, 英文, 双语"), value);
        v.version = *version;
        return Cli::Done;
    }
    if (name == QLatin1String("exception")) {
        const auto exception = choice(value, CheckValues::exceptionNames());
        if (!exception)
            return refuseChoice(cli, QStringLiteral("异常"),
                                QStringLiteral("0-7 或 ") + CheckValues::exceptionNames().join(QStringLiteral(", ")),
                                value);
        v.exception = *exception;
        return Cli::Done;
    }
    if (name == QLatin1String("flight")) {
        const int flight = value.trimmed().toInt();
        if (flight != CheckValues::kBeforeFlight && flight != CheckValues::kAfterFlight)
            return refuseChoice(cli, QStringLiteral("航班"), QStringLiteral("1 (航班前) 或 51 (航班后)"), value);
        v.flight = flight;
        return Cli::Done;
    }
    return Cli::usage(kAddUsage.arg(name + u'=' + value));
}

QString notFound(int iid)
{
    return QStringLiteral("扫描记录%1不存在。").arg(iid);
}

// A scan of the listing: id, number, kind, time and the signer or the next station.
QString listLine(const char *record)
{
    const auto *r = reinterpret_cast<const CheckRecord *>(record);
    const bool person = r->nkind == CheckValues::Signature || r->nkind == CheckValues::Delivery;
    return QStringLiteral("%1\t%2\t%3\t%4\t%5")
        .arg(r->iid)
        .arg(ControlText::Escaped(Gbk::field(r->cnum)), CheckValues::KindName(r->nkind),
             ControlText::Escaped(Gbk::field(r->cdate)),
             ControlText::Escaped(person ? Gbk::field(r->csigner) : Gbk::field(r->cnext)));
}

const RecordListing::Kind kScans{"scans", [](ClientContext &c) -> RecordFile & { return c.checks(); },
                                 &CheckRecord::fields, &listLine, &notFound};

} // namespace

int ScansCommand::run(Cli &cli, const QStringList &args)
{
    const QString sub = args.isEmpty() ? QString() : args.first();
    if (sub == QLatin1String("add"))
        return add(cli, args.mid(1));
    if (sub == QLatin1String("list"))
        return RecordListing::list(cli, args.mid(1), kScans);
    if (sub == QLatin1String("show"))
        return RecordListing::show(cli, args.mid(1), kScans);
    if (sub == QLatin1String("delete"))
        return remove(cli, args.mid(1));
    if (sub == QLatin1String("upload"))
        return UploadCommand::runScans(cli, args.mid(1));
    return Cli::usage(sub.isEmpty() ? QStringLiteral("scans: a subcommand is needed")
                                    : QStringLiteral("scans: unknown subcommand %1").arg(sub));
}

int ScansCommand::add(Cli &cli, const QStringList &args)
{
    QList<std::pair<QString, QString>> fields;
    std::optional<int> kind;
    for (const QString &arg : args) {
        const qsizetype eq = arg.indexOf(u'=');
        if (eq <= 0)
            return Cli::usage(kAddUsage.arg(arg));
        const QString name = arg.left(eq);
        const QString value = arg.mid(eq + 1);
        if (name != QLatin1String("kind")) {
            fields.append({name, value});
            continue;
        }
        kind = choice(value, CheckValues::categoryNames());
        if (!kind)
            return refuseChoice(cli, QStringLiteral("类别"),
                                QStringLiteral("0-4 或 ") + CheckValues::categoryNames().join(QStringLiteral(", ")),
                                value);
    }
    ClientContext *context = cli.context();
    if (!context)
        return Cli::Failed;
    // Logged in, the page's defaults (the station code) come from the checkpoint's login.
    if (const int code = cli.wantsLogin() ? cli.logIn(*context) : Cli::Done; code != Cli::Done)
        return code;
    CheckForm form(*context, cli.prompter());
    int saved = -1;
    form.setRecordChanged([&saved](CheckForm::Change, const CheckRecord &r) { saved = r.iid; });
    // The kind is chosen first, as on the page, so that the values given
    // afterwards are not emptied by its selection.
    form.SelectCategory(kind.value_or(CheckValues::Arrival));
    for (const auto &[name, value] : fields)
        if (const int code = apply(cli, form, name, value); code != Cli::Done)
            return code;
    if (!form.SaveScan())
        return form.storageFailed() ? Cli::Failed : Cli::Refused;
    Cli::out(QStringLiteral("%1\n").arg(saved));
    return Cli::Done;
}

int ScansCommand::remove(Cli &cli, const QStringList &args)
{
    const int iid = RecordIds::single(args);
    if (iid < 0)
        return Cli::usage(QStringLiteral("scans delete: a scan id is needed"));
    ClientContext *context = cli.context();
    if (!context)
        return Cli::Failed;
    // The page's delete; the command itself answers the page's question.
    CheckForm form(*context, cli.prompter());
    if (!form.LoadScan(iid)) {
        cli.prompter().error(QString(), notFound(iid));
        return Cli::Refused;
    }
    return form.DeleteScan() ? Cli::Done : Cli::Refused;
}

} // namespace quarvel
