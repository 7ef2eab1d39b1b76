#include "PrintCommand.h"

#include "Cli.h"
#include "RecordIds.h"
#include "ReportCommand.h"
#include "preinput/PrintSelection.h"
#include "print/DocumentPrinter.h"
#include "print/ManifestSheet.h"
#include "print/PrintBatch.h"
#include "print/Reprint.h"
#include "text/ControlText.h"
#include "text/Gbk.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace quarvel {

namespace {

// The documents as they come: a path a line, failures on standard error.
class ConsolePrinting : public PrintBatch::Display {
public:
    void documentDone(const PrintBatch::Report &r) override
    {
        // A record gone by its turn is named on its own line: on a sheet of
        // labels the others were printed all the same.
        for (const PrintBatch::Selected &g : r.gone) {
            ++failed;
            Cli::err(QStringLiteral("%1\t%2\n").arg(g.id).arg(PrintBatch::GoneText()));
        }
        if (r.outcome.ok()) {
            Cli::out(r.outcome.file + u'\n');
            if (!r.outcome.message.isEmpty())
                Cli::err(QStringLiteral("%1\t%2\n").arg(r.id).arg(r.outcome.message));
            notRecorded += r.outcome.notRecorded() ? 1 : 0;
            return;
        }
        if (r.outcome.status == PrintOutcome::Status::Skipped)
            return;
        ++failed;
        Cli::err(QStringLiteral("%1\t%2\n")
                     .arg(r.id)
                     .arg(r.outcome.message.isEmpty() ? QStringLiteral("打印失败。") : r.outcome.message));
    }
    void batchEnded(const PrintBatch::Ending &ending) override
    {
        if (!ending.startFailure.isEmpty()) {
            Cli::err(ending.startFailure + u'\n');
            engineFailed = true;
        }
    }

    int failed = 0;
    int notRecorded = 0;
    bool engineFailed = false;
};

struct Options {
    QStringList ids;
    QString templateName;
    bool save = false;
    bool json = false;
    int copies = 1;
    QString date;
};

std::optional<Options> parseOptions(const QStringList &args, const QString &command)
{
    Options o;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--template") && i + 1 < args.size())
            o.templateName = args.at(++i);
        else if (a == QLatin1String("--copies") && i + 1 < args.size())
            o.copies = args.at(++i).toInt();
        else if (a == QLatin1String("--date") && i + 1 < args.size())
            o.date = args.at(++i);
        else if (a == QLatin1String("--save"))
            o.save = true;
        else if (a == QLatin1String("--json"))
            o.json = true;
        else if (a.startsWith(QLatin1String("--")) && a != QLatin1String("--all")) {
            Cli::usage(QStringLiteral("print %1: unknown option %2").arg(command, a));
            return std::nullopt;
        } else
            o.ids.append(a);
    }
    return o;
}

bool chooseTemplate(Cli &cli, ClientContext &context, TemplateKind kind, const QString &name)
{
    QString message;
    if (name.isEmpty() || context.templates().ChooseTemplate(kind, name, &message))
        return true;
    cli.prompter().error(QString(), message);
    return false;
}

int runBatch(PrintBatch &batch)
{
    ConsolePrinting display;
    if (batch.size() == 0 || !batch.Start())
        return Cli::Done;
    batch.DrainUntilEnded(display);
    // A printout the ledger could not record is a failed write: the paper is
    // out, but `print again` will not find it.
    if (display.engineFailed || display.notRecorded > 0)
        return Cli::Failed;
    return display.failed == 0 ? Cli::Done : Cli::Refused;
}

// The records of the arguments, refused as the page refuses them: nothing
// after the message (Usage for arguments that are no ids, else Refused).
std::optional<QList<int>> localRecords(Cli &cli, ClientContext &context, const Options &o, const QString &command,
                                       bool waybillRule, int &failure)
{
    failure = Cli::Usage;
    const std::optional<QList<int>> ids = RecordIds::parse(o.ids, context.preInputs(), command);
    if (!ids)
        return std::nullopt;
    failure = Cli::Refused;
    QList<PrintSelection::Row> rows;
    for (int id : *ids) {
        const PreInputRecord *r = context.preInputs().Find(id);
        if (!r) {
            cli.prompter().error(QString(), QStringLiteral("没有记录 %1。").arg(id));
            return std::nullopt;
        }
        rows.append({id, Gbk::field(r->cnum)});
    }
    if (!waybillRule)
        return *ids;
    const QList<int> chosen = PrintSelection::Collect(rows, cli.prompter());
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

int printLabels(Cli &cli, const Options &o)
{
    const QString command = QStringLiteral("print labels");
    if (o.ids.isEmpty())
        return Cli::usage(command + QStringLiteral(": record ids or --all expected"));
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    if (!chooseTemplate(cli, *context, TemplateKind::Label, o.templateName))
        return Cli::Refused;
    int failure = Cli::Done;
    const std::optional<QList<int>> ids = localRecords(cli, *context, o, command, true, failure);
    if (!ids)
        return failure;
    PrintBatch batch(*context);
    QString message;
    if (!batch.AddLabelSheets(*ids, &message)) {
        cli.prompter().error(QString(), message);
        return Cli::Refused;
    }
    return runBatch(batch);
}

int printLocal(Cli &cli, const Options &o, bool invoice)
{
    const QString command = invoice ? QStringLiteral("print invoice") : QStringLiteral("print waybill");
    if (o.ids.isEmpty())
        return Cli::usage(command + QStringLiteral(": record ids or --all expected"));
    // Printing only reads the records: it may run while the window has them open.
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    if (!chooseTemplate(cli, *context, invoice ? TemplateKind::Invoice : TemplateKind::Waybill, o.templateName))
        return Cli::Refused;
    int failure = Cli::Done;
    const std::optional<QList<int>> ids = localRecords(cli, *context, o, command, !invoice, failure);
    if (!ids)
        return failure;
    PrintBatch batch(*context);
    QString message;
    const bool added =
        invoice ? batch.AddInvoices(*ids, o.save ? InvoiceSheet::Mode::KeepFile : InvoiceSheet::Mode::Print, &message)
                : batch.AddWaybills(*ids, &message);
    if (!added) {
        cli.prompter().error(QString(), message);
        return Cli::Refused;
    }
    return runBatch(batch);
}

int printServer(Cli &cli, const Options &o)
{
    QList<int> ids;
    for (const QString &a : o.ids) {
        const int id = a.toInt();
        if (id <= 0)
            return Cli::usage(QStringLiteral("print server-waybill: a server record id expected, not %1").arg(a));
        ids.append(id);
    }
    if (ids.isEmpty())
        return Cli::usage(QStringLiteral("print server-waybill: server record ids expected"));
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    if (const int code = cli.logIn(*context); code != Cli::Done)
        return code;
    if (!chooseTemplate(cli, *context, TemplateKind::Waybill, o.templateName))
        return Cli::Refused;
    PrintBatch batch(*context);
    QString message;
    if (!batch.AddServerWaybills(ids, &message)) {
        cli.prompter().error(QString(), message);
        return Cli::Refused;
    }
    return runBatch(batch);
}

int printManifest(Cli &cli, const Options &o)
{
    const QString command = QStringLiteral("print manifest");
    if (!o.ids.isEmpty())
        return Cli::usage(command + QStringLiteral(": unknown argument ") + o.ids.first());
    const std::optional<QDate> day = ReportCommand::DateArgument(o.date, command);
    if (!day)
        return Cli::Usage;
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    if (!chooseTemplate(cli, *context, TemplateKind::Manifest, o.templateName))
        return Cli::Refused;
    const DayReport report = DayReport::Build(*context, *day);
    for (const QString &warning : report.warnings())
        Cli::err(warning + u'\n');
    const PrintOutcome outcome = DocumentPrinter(*context).PrintManifest(report);
    if (!outcome.ok()) {
        cli.prompter().error(QString(), outcome.message);
        return outcome.message == ManifestSheet::NothingText() ||
                       outcome.message == TemplateKinds::MissingText(TemplateKind::Manifest)
                   ? Cli::Refused
                   : Cli::Failed;
    }
    Cli::out(outcome.file + u'\n');
    if (!outcome.message.isEmpty())
        Cli::err(outcome.message + u'\n');
    return outcome.notRecorded() ? Cli::Failed : Cli::Done;
}

int history(Cli &cli, const Options &o)
{
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    QJsonArray all;
    for (const PrintLedger::Entry &e : context->printLedger().Recent()) {
        const QString time = e.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        const QString removed = e.removed.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!o.json) {
            // A printout whose PDF was removed after its keeping time says when.
            Cli::out(QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7%8\n")
                         .arg(e.number)
                         .arg(time, ControlText::Escaped(e.kind), ControlText::Escaped(e.waybill),
                              ControlText::Escaped(e.templateName))
                         .arg(e.copies)
                         .arg(ControlText::Escaped(e.pdf),
                              removed.isEmpty() ? QString() : QStringLiteral("\t已删除 ") + removed));
            continue;
        }
        all.append(QJsonObject{{QStringLiteral("number"), e.number},
                               {QStringLiteral("time"), time},
                               {QStringLiteral("kind"), e.kind},
                               {QStringLiteral("waybill"), e.waybill},
                               {QStringLiteral("template"), e.templateName},
                               {QStringLiteral("copies"), e.copies},
                               {QStringLiteral("pdf"), e.pdf},
                               {QStringLiteral("removed"), removed.isEmpty() ? QJsonValue() : QJsonValue(removed)}});
    }
    if (o.json)
        Cli::out(QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Compact)) + u'\n');
    return Cli::Done;
}

int again(Cli &cli, const Options &o)
{
    const int number = o.ids.size() == 1 ? o.ids.first().toInt() : 0;
    if (number <= 0 || o.copies <= 0)
        return Cli::usage(QStringLiteral("print again: one printout number expected"));
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    const PrintOutcome outcome = Reprint::Again(*context, number, o.copies);
    if (!outcome.ok()) {
        cli.prompter().error(QString(), outcome.message);
        return Cli::Refused;
    }
    Cli::out(outcome.file + u'\n');
    if (!outcome.message.isEmpty())
        Cli::err(outcome.message + u'\n');
    return outcome.notRecorded() ? Cli::Failed : Cli::Done;
}

} // namespace

int PrintCommand::run(Cli &cli, const QStringList &args)
{
    const QString what = args.value(0);
    const std::optional<Options> o = parseOptions(args.mid(1), what);
    if (!o)
        return Cli::Usage;
    if (what == QLatin1String("waybill"))
        return printLocal(cli, *o, false);
    if (what == QLatin1String("invoice"))
        return printLocal(cli, *o, true);
    if (what == QLatin1String("labels"))
        return printLabels(cli, *o);
    if (what == QLatin1String("server-waybill"))
        return printServer(cli, *o);
    if (what == QLatin1String("history"))
        return history(cli, *o);
    if (what == QLatin1String("again"))
        return again(cli, *o);
    if (what == QLatin1String("manifest"))
        return printManifest(cli, *o);
    return Cli::usage(
        QStringLiteral("print: waybill, server-waybill, invoice, labels, manifest, history or again expected"));
}

} // namespace quarvel
