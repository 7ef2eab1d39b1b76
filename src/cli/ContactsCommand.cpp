#include "ContactsCommand.h"

#include "Cli.h"
#include "RecordIds.h"
#include "RecordListing.h"
#include "SheetImportCommand.h"
#include "contacts/ContactForm.h"
#include "contacts/ContactImport.h"
#include "text/ControlText.h"
#include "text/Gbk.h"

#include <QTemporaryDir>

namespace quarvel {

namespace {

QString notFound(int iid)
{
    return QStringLiteral("名录记录%1不存在。").arg(iid);
}

QString listLine(const char *record)
{
    const auto *r = reinterpret_cast<const ContactRecord *>(record);
    return QStringLiteral("%1\t%2\t%3\t%4")
        .arg(r->iid)
        .arg(ControlText::Escaped(Gbk::field(r->ccode)), ControlText::Escaped(Gbk::field(r->cname)),
             ControlText::Escaped(Gbk::field(r->cphone)));
}

const RecordListing::Kind kContacts{"contacts", [](ClientContext &c) -> RecordFile & { return c.contacts(); },
                                    &ContactRecord::fields, &listLine, &notFound};

} // namespace

int ContactsCommand::run(Cli &cli, const QStringList &args)
{
    if (args.isEmpty())
        return Cli::usage(QStringLiteral("contacts: a subcommand is needed"));
    const QString sub = args.first();
    if (sub == QLatin1String("add"))
        return add(cli, args.mid(1));
    if (sub == QLatin1String("list"))
        return RecordListing::list(cli, args.mid(1), kContacts);
    if (sub == QLatin1String("show"))
        return RecordListing::show(cli, args.mid(1), kContacts);
    if (sub == QLatin1String("delete"))
        return remove(cli, args.mid(1));
    if (sub == QLatin1String("import"))
        return importSheet(cli, args.mid(1));
    if (sub == QLatin1String("export-header"))
        return exportHeader(cli, args.mid(1));
    return Cli::usage(QStringLiteral("contacts: unknown subcommand %1").arg(sub));
}

int ContactsCommand::add(Cli &cli, const QStringList &args)
{
    QList<std::pair<const ContactValues::Field *, QString>> values;
    for (const QString &arg : args) {
        const qsizetype eq = arg.indexOf(u'=');
        const ContactValues::Field *field = eq > 0 ? ContactValues::field(arg.left(eq)) : nullptr;
        if (!field)
            return Cli::usage(
                QStringLiteral("contacts add: FIELD=VALUE with a contact field expected, got %1").arg(arg));
        values.append({field, arg.mid(eq + 1)});
    }
    ClientContext *context = cli.context();
    if (!context)
        return Cli::Failed;
    ContactForm form(*context, cli.prompter());
    int saved = -1;
    form.setRecordChanged([&saved](bool ok, const ContactRecord &r) {
        if (ok)
            saved = r.iid;
    });
    for (const auto &[field, value] : values)
        form.values().*(field->value) = value;
    if (!form.SaveContact())
        return form.storageFailed() ? Cli::Failed : Cli::Refused;
    Cli::out(QStringLiteral("%1\n").arg(saved));
    return Cli::Done;
}

int ContactsCommand::remove(Cli &cli, const QStringList &args)
{
    const int iid = RecordIds::single(args);
    if (iid < 0)
        return Cli::usage(QStringLiteral("contacts delete: a contact id is needed"));
    ClientContext *context = cli.context();
    if (!context)
        return Cli::Failed;
    // The page's delete; the command itself answers the page's question.
    ContactForm form(*context, cli.prompter());
    if (!form.LoadContact(iid)) {
        cli.prompter().error(QString(), notFound(iid));
        return Cli::Refused;
    }
    return form.DeleteContact() ? Cli::Done : Cli::Refused;
}

int ContactsCommand::importSheet(Cli &cli, const QStringList &args)
{
    SheetImportCommand::Arguments a;
    if (const int code = SheetImportCommand::parseImport(QStringLiteral("contacts"), args, a); code != Cli::Done)
        return code;
    ClientContext *context = cli.context(a.dryRun ? RecordFile::Mode::ReadOnly : RecordFile::Mode::ReadWrite);
    if (!context)
        return Cli::Failed;
    if (!a.dryRun) {
        ContactImport rules(context->contacts());
        return SheetImportCommand::run(*context, a, rules);
    }
    // A dry run imports into a copy of the address book, so that it meets
    // exactly what a real import would.
    QTemporaryDir scratch;
    ContactFile copy;
    if (!scratch.isValid() || !SheetImportCommand::openScratch(*context, QStringLiteral("DATA/rsdata.dat"),
                                                               scratch.path(), copy, sizeof(ContactRecord)))
        return Cli::Failed;
    copy.RebuildIndexes();
    ContactImport rules(copy);
    return SheetImportCommand::run(*context, a, rules);
}

int ContactsCommand::exportHeader(Cli &cli, const QStringList &args)
{
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    return SheetImportCommand::exportHeader(cli, *context, args, ContactImport::SheetName(), ContactImport::FileName(),
                                            ContactImport::ExportColumns());
}

} // namespace quarvel
