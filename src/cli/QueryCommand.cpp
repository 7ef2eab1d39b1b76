#include "QueryCommand.h"

#include "Cli.h"
#include "QueryArguments.h"
#include "query/FeeQueryForm.h"
#include "query/PreEntryDeletion.h"
#include "query/RecordQueryForm.h"
#include "query/ServerListQuery.h"
#include "text/Gbk.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace quarvel {

namespace {

// What was wrong with the arguments, as the exit code: Done when nothing.
int argumentProblem(Cli &cli, const QueryArguments &a, const QString &command)
{
    switch (a.problem) {
    case QueryArguments::Problem::None:
        return Cli::Done;
    case QueryArguments::Problem::Usage:
        return Cli::usage(command + QStringLiteral(": ") + a.error);
    case QueryArguments::Problem::Value:
        break;
    }
    cli.prompter().error(QString(), command + QStringLiteral(": ") + a.error);
    return Cli::Refused;
}

} // namespace

int QueryCommand::run(Cli &cli, const QStringList &args)
{
    if (args.isEmpty())
        return Cli::usage(QStringLiteral("query: records, fees, pre or delete-pre expected"));
    const QString what = args.first();
    if (what == QLatin1String("records"))
        return records(cli, args.mid(1));
    if (what == QLatin1String("fees"))
        return fees(cli, args.mid(1));
    if (what == QLatin1String("pre"))
        return preEntries(cli, args.mid(1));
    if (what == QLatin1String("delete-pre"))
        return deletePreEntries(cli, args.mid(1));
    return Cli::usage(QStringLiteral("query: unknown list %1").arg(what));
}

int QueryCommand::records(Cli &cli, const QStringList &args)
{
    const QString command = QStringLiteral("query records");
    QueryArguments a(args);
    if (const int code = argumentProblem(cli, a, command); code != Cli::Done)
        return code;
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    RecordQueryForm form;
    a.apply(form, context->baseData());
    if (const int code = argumentProblem(cli, a, command); code != Cli::Done)
        return code;
    if (const int code = cli.logIn(*context); code != Cli::Done)
        return code;
    if (!form.Confirm(cli.prompter()))
        return Cli::Refused;
    const QString condition = form.Condition(context->session().clientId(), context->baseData());
    return fetch(cli, ServerListKind::Records, Gbk::fromUnicode(condition), a.page, a.json);
}

int QueryCommand::fees(Cli &cli, const QStringList &args)
{
    QueryArguments a(args);
    FeeQueryForm form;
    a.apply(form);
    if (const int code = argumentProblem(cli, a, QStringLiteral("query fees")); code != Cli::Done)
        return code;
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    if (const int code = cli.logIn(*context); code != Cli::Done)
        return code;
    if (!form.Confirm(cli.prompter()))
        return Cli::Refused;
    const QString condition = form.Condition(context->session().clientId());
    return fetch(cli, ServerListKind::Settlements, Gbk::fromUnicode(condition), a.page, a.json);
}

int QueryCommand::preEntries(Cli &cli, const QStringList &args)
{
    QueryArguments a(args);
    a.expectNoPairs();
    if (const int code = argumentProblem(cli, a, QStringLiteral("query pre")); code != Cli::Done)
        return code;
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    if (const int code = cli.logIn(*context); code != Cli::Done)
        return code;
    const QString condition = ServerList::PreEntryCondition(context->session().clientId());
    return fetch(cli, ServerListKind::PreEntries, Gbk::fromUnicode(condition), a.page, a.json);
}

int QueryCommand::deletePreEntries(Cli &cli, const QStringList &args)
{
    QList<int> ids;
    for (const QString &a : args) {
        bool ok = false;
        const int id = a.toInt(&ok);
        if (!ok || id <= 0)
            return Cli::usage(QStringLiteral("query delete-pre: server ids of pre-entries expected"));
        ids.append(id);
    }
    if (ids.isEmpty())
        return Cli::usage(QStringLiteral("query delete-pre: server ids of pre-entries expected"));
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    if (const int code = cli.logIn(*context); code != Cli::Done)
        return code;
    const PreEntryDeletion::Result r = PreEntryDeletion::Run(context->session(), ids, cli.prompter());
    if (r.deleted > 0 || r.outcome == PreEntryDeletion::Outcome::Deleted)
        Cli::out(QStringLiteral("已删除 %1 条记录。\n").arg(r.deleted));
    switch (r.outcome) {
    case PreEntryDeletion::Outcome::Deleted:
        return Cli::Done;
    case PreEntryDeletion::Outcome::NoConnection:
        return Cli::Failed;
    default:
        return Cli::Refused;
    }
}

int QueryCommand::fetch(Cli &cli, ServerListKind kind, const QByteArray &condition, int page, bool json)
{
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    const ServerListQuery::Result r =
        ServerListQuery::Fetch(context->session(), context->baseData(), kind, condition, page, 0);
    switch (r.outcome) {
    case ServerListQuery::Outcome::Shown:
        print(kind, r.page, json);
        return Cli::Done;
    case ServerListQuery::Outcome::NothingFound:
        cli.prompter().warning(QString(), r.message);
        if (json)
            Cli::out(QStringLiteral("{\"total\": 0, \"rows\": []}\n"));
        return Cli::Done;
    case ServerListQuery::Outcome::Refused:
        cli.prompter().error(QString(), r.message);
        return Cli::Refused;
    case ServerListQuery::Outcome::NoConnection:
        break;
    }
    cli.prompter().error(QString(), r.message);
    return Cli::Failed;
}

void QueryCommand::print(ServerListKind kind, const ListPage &page, bool json)
{
    const QList<ListColumn> columns = ServerList::Columns(kind);
    if (json) {
        QJsonArray rows;
        for (const RecordListModel::Row &row : page.rows) {
            QJsonObject cells;
            for (qsizetype c = 0; c < columns.size(); ++c)
                cells.insert(columns.at(c).caption, row.cells.value(c).trimmed());
            rows.append(QJsonObject{{QStringLiteral("id"), row.id}, {QStringLiteral("cells"), cells}});
        }
        const QJsonObject all{{QStringLiteral("summary"), page.Summary(kind)},
                              {QStringLiteral("total"), page.total},
                              {QStringLiteral("page"), page.page},
                              {QStringLiteral("pages"), page.pages},
                              {QStringLiteral("rows"), rows}};
        Cli::out(QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Indented)));
        return;
    }
    QString text = page.Summary(kind) + u'\n';
    QStringList header{QStringLiteral("ID")};
    for (const ListColumn &c : columns)
        header.append(c.caption);
    text += header.join(u'\t') + u'\n';
    for (const RecordListModel::Row &row : page.rows) {
        QStringList cells{QString::number(row.id)};
        for (const QString &cell : row.cells)
            cells.append(QString(cell).replace(u'\n', u' ').trimmed());
        text += cells.join(u'\t') + u'\n';
    }
    Cli::out(text);
}

} // namespace quarvel
