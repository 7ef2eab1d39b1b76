#include "ScansCommand.h"

#include "Cli.h"
#include "RecordIds.h"
#include "UploadCommand.h"
#include "scan/CheckForm.h"
#include "storage/RecordJson.h"
#include "text/Gbk.h"

#include <QJsonDocument>

#include <cstdio>
#include <optional>
#include <string>

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

// One FIELD=VALUE of the page; the kind was applied first.
int apply(CheckForm &form, const QString &name, const QString &value)
{
    CheckValues &v = form.values();
    if (QString *text = textField(v, name)) {
        *text = value;
        return Cli::Done;
    }
    if (name == QLatin1String("version")) {
        const auto version = choice(value, CheckValues::versionNames());
        if (!version)
            return Cli::usage(QStringLiteral("scans add: version must be 0-2 or 中文, 英文, 双语"));
        v.version = *version;
        return Cli::Done;
    }
    if (name == QLatin1String("exception")) {
        const auto exception = choice(value, CheckValues::exceptionNames());
        if (!exception)
            return Cli::usage(QStringLiteral("scans add: exception must be 0-7 or a name of the exception list"));
        v.exception = *exception;
        return Cli::Done;
    }
    if (name == QLatin1String("flight")) {
        const int flight = value.trimmed().toInt();
        if (flight != CheckValues::kBeforeFlight && flight != CheckValues::kAfterFlight)
            return Cli::usage(QStringLiteral("scans add: flight must be 1 (before the flight) or 51 (after it)"));
        v.flight = flight;
        return Cli::Done;
    }
    return Cli::usage(kAddUsage.arg(name + u'=' + value));
}

QString notFound(int iid)
{
    return QStringLiteral("扫描记录%1不存在。").arg(iid);
}

} // namespace

int ScansCommand::run(Cli &cli, const QStringList &args)
{
    const QString sub = args.isEmpty() ? QString() : args.first();
    if (sub == QLatin1String("add"))
        return add(cli, args.mid(1));
    if (sub == QLatin1String("list"))
        return list(cli, args.mid(1));
    if (sub == QLatin1String("show"))
        return show(cli, args.mid(1));
    if (sub == QLatin1String("delete"))
        return remove(cli, args.mid(1));
    if (sub == QLatin1String("upload"))
        return UploadCommand::runScans(cli, args);
    return Cli::usage(QStringLiteral("scans: add, list, show, delete or upload expected"));
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
            return Cli::usage(QStringLiteral("scans add: kind must be 0-4 or 到站, 出站, 派送, 签收, 异常"));
    }
    ClientContext *context = cli.context();
    if (!context)
        return Cli::Failed;
    // Logged in, the page's defaults (the station code) come from the checkpoint's login.
    if (!cli.account().isEmpty() && !cli.ensureLoggedIn(*context))
        return Cli::Failed;
    CheckForm form(*context, cli.prompter());
    int saved = -1;
    form.setRecordChanged([&saved](CheckForm::Change, const CheckRecord &r) { saved = r.iid; });
    // The kind is chosen first, as on the page, so that the values given
    // afterwards are not emptied by its selection.
    form.SelectCategory(kind.value_or(CheckValues::Arrival));
    for (const auto &[name, value] : fields)
        if (const int code = apply(form, name, value); code != Cli::Done)
            return code;
    if (!form.SaveScan())
        return Cli::Refused;
    Cli::out(QStringLiteral("%1\n").arg(saved));
    return Cli::Done;
}

int ScansCommand::list(Cli &cli, const QStringList &args)
{
    const bool json = args.contains(QLatin1String("--json"));
    // A listing only reads, so it may run beside the window holding the files.
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    CheckFile &file = context->checks();
    // Streamed in blocks: a day's scans need the memory of one block.
    std::string block = json ? "[\n" : "";
    for (int i = 0; i < file.GetCount(); ++i) {
        const CheckRecord *r = file.At(i);
        if (json) {
            RecordJson::Append(block, r, CheckRecord::fields());
            block += i + 1 < file.GetCount() ? ",\n" : "\n";
        } else {
            const bool person = r->nkind == CheckValues::Signature || r->nkind == CheckValues::Delivery;
            block += QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                         .arg(r->iid)
                         .arg(Gbk::field(r->cnum), CheckValues::KindName(r->nkind), Gbk::field(r->cdate),
                              person ? Gbk::field(r->csigner) : Gbk::field(r->cnext))
                         .toStdString();
        }
        if (block.size() >= 1 << 16) {
            std::fwrite(block.data(), 1, block.size(), stdout);
            block.clear();
        }
    }
    if (json)
        block += "]\n";
    std::fwrite(block.data(), 1, block.size(), stdout);
    std::fflush(stdout);
    return Cli::Done;
}

int ScansCommand::show(Cli &cli, const QStringList &args)
{
    const int iid = RecordIds::single(args);
    if (iid < 0)
        return Cli::usage(QStringLiteral("scans show: a scan id is needed"));
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    const CheckRecord *found = context->checks().Find(iid);
    if (!found) {
        cli.prompter().error(QString(), notFound(iid));
        return Cli::Refused;
    }
    const QJsonObject record = RecordField::toJson(found, CheckRecord::fields());
    if (args.contains(QLatin1String("--json"))) {
        Cli::out(QString::fromUtf8(QJsonDocument(record).toJson(QJsonDocument::Indented)));
        return Cli::Done;
    }
    for (auto it = record.begin(); it != record.end(); ++it)
        Cli::out(QStringLiteral("%1\t%2\n").arg(it.key(), it.value().toVariant().toString()));
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
