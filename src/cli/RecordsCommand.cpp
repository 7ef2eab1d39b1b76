#include "RecordsCommand.h"

#include "Cli.h"
#include "RecordAddCommand.h"
#include "RecordIds.h"
#include "RecordsSheetCommand.h"
#include "preinput/PreInputFieldGuide.h"
#include "preinput/PreInputForm.h"
#include "storage/RecordJson.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>
#include <string>

#include "text/Gbk.h"

namespace quarvel {

int RecordsCommand::run(Cli &cli, const QStringList &args)
{
    if (args.isEmpty())
        return Cli::usage(QStringLiteral("records: a subcommand is needed"));
    if (args.first() == QLatin1String("list"))
        return list(cli, args.mid(1));
    if (args.first() == QLatin1String("add"))
        return RecordAddCommand::run(cli, args.mid(1));
    if (args.first() == QLatin1String("show"))
        return show(cli, args.mid(1));
    if (args.first() == QLatin1String("delete"))
        return remove(cli, args.mid(1));
    if (args.first() == QLatin1String("fields"))
        return fields();
    if (RecordsSheetCommand::handles(args))
        return RecordsSheetCommand::run(cli, args);
    return Cli::usage(QStringLiteral("records: unknown subcommand %1").arg(args.first()));
}

int RecordsCommand::list(Cli &cli, const QStringList &args)
{
    const bool json = args.contains(QLatin1String("--json"));
    // A listing only reads, so it may run beside the window holding the files.
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    PreInputFile &file = context->preInputs();
    // Streamed in blocks: the output of any number of records needs the
    // memory of one block.
    std::string block;
    const auto flushWhenFull = [&block](std::size_t limit) {
        if (block.size() >= limit) {
            std::fwrite(block.data(), 1, block.size(), stdout);
            block.clear();
        }
    };
    if (json)
        block += "[\n";
    for (int i = 0; i < file.GetCount(); ++i) {
        const PreInputRecord *r = file.At(i);
        if (json) {
            RecordJson::Append(block, r, PreInputRecord::fields());
            block += i + 1 < file.GetCount() ? ",\n" : "\n";
        } else {
            block += QStringLiteral("%1\t%2\t%3\t%4\n")
                         .arg(r->iid)
                         .arg(Gbk::field(r->cnum), Gbk::field(r->cdes), Gbk::field(r->creceiver))
                         .toStdString();
        }
        flushWhenFull(1 << 16);
    }
    if (json)
        block += "]\n";
    flushWhenFull(0);
    std::fflush(stdout);
    return Cli::Done;
}

int RecordsCommand::fields()
{
    for (const PreInputFieldGuide::Entry &e : PreInputFieldGuide::All())
        Cli::out(e.name + u'\t' + e.caption + u'\t' + e.rule + u'\n');
    return Cli::Done;
}

namespace {

QString notFound(int iid)
{
    return QStringLiteral("业务记录%1不存在。").arg(iid);
}

} // namespace

int RecordsCommand::show(Cli &cli, const QStringList &args)
{
    const int iid = RecordIds::single(args);
    if (iid < 0)
        return Cli::usage(QStringLiteral("records show: a record id is needed"));
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    const PreInputRecord *found = context->preInputs().Find(iid);
    if (!found) {
        cli.prompter().error(QString(), notFound(iid));
        return Cli::Refused;
    }
    QJsonObject record = RecordField::toJson(found, PreInputRecord::fields());
    std::vector<GoodsRecord> goods;
    std::vector<WeightRecord> pieces;
    context->goods().CopyByParent(goods, iid);
    context->weights().CopyByParent(pieces, iid);
    QJsonArray goodsJson;
    for (const GoodsRecord &g : goods)
        goodsJson.append(RecordField::toJson(&g, GoodsRecord::fields()));
    QJsonArray piecesJson;
    for (const WeightRecord &w : pieces)
        piecesJson.append(RecordField::toJson(&w, WeightRecord::fields()));
    if (args.contains(QLatin1String("--json"))) {
        record.insert(QStringLiteral("goods"), goodsJson);
        record.insert(QStringLiteral("pieces"), piecesJson);
        Cli::out(QString::fromUtf8(QJsonDocument(record).toJson(QJsonDocument::Indented)));
        return Cli::Done;
    }
    for (auto it = record.begin(); it != record.end(); ++it)
        Cli::out(QStringLiteral("%1\t%2\n").arg(it.key(), it.value().toVariant().toString()));
    for (const QJsonValue &g : goodsJson)
        Cli::out(QStringLiteral("goods\t%1\t%2\t%3\n")
                     .arg(g[QStringLiteral("cname")].toString())
                     .arg(g[QStringLiteral("nquantity")].toInt())
                     .arg(g[QStringLiteral("fprice")].toDouble(), 0, 'f', 2));
    for (const QJsonValue &w : piecesJson)
        Cli::out(QStringLiteral("piece\t%1*%2*%3\t%4\t%5\n")
                     .arg(w[QStringLiteral("nlength")].toInt())
                     .arg(w[QStringLiteral("nwidth")].toInt())
                     .arg(w[QStringLiteral("nheight")].toInt())
                     .arg(w[QStringLiteral("nweight")].toInt())
                     .arg(w[QStringLiteral("nvolpercent")].toInt()));
    return Cli::Done;
}

int RecordsCommand::remove(Cli &cli, const QStringList &args)
{
    const int iid = RecordIds::single(args);
    if (iid < 0)
        return Cli::usage(QStringLiteral("records delete: a record id is needed"));
    ClientContext *context = cli.context();
    if (!context)
        return Cli::Failed;
    // The page's delete: the record and its goods and piece lines; the
    // command itself answers the page's question.
    PreInputForm form(*context, cli.prompter());
    if (!form.LoadRecord(iid)) {
        cli.prompter().error(QString(), notFound(iid));
        return Cli::Refused;
    }
    return form.DeleteRecord() ? Cli::Done : Cli::Refused;
}

} // namespace quarvel
