#include "RecordsCommand.h"

#include "Cli.h"
#include "RecordAddCommand.h"
#include "RecordIds.h"
#include "RecordListing.h"
#include "RecordsSheetCommand.h"
#include "preinput/PreInputFieldGuide.h"
#include "preinput/PreInputForm.h"
#include "text/ControlText.h"
#include "text/Gbk.h"

#include <QJsonArray>

#include <vector>

namespace quarvel {

namespace {

QString notFound(int iid)
{
    return QStringLiteral("业务记录%1不存在。").arg(iid);
}

QString listLine(const char *record)
{
    const auto *r = reinterpret_cast<const PreInputRecord *>(record);
    return QStringLiteral("%1\t%2\t%3\t%4")
        .arg(r->iid)
        .arg(ControlText::Escaped(Gbk::field(r->cnum)), ControlText::Escaped(Gbk::field(r->cdes)),
             ControlText::Escaped(Gbk::field(r->creceiver)));
}

// A shipment is shown with its goods and piece lines.
void linesOf(ClientContext &context, int iid, QJsonObject &json, QString &text)
{
    std::vector<GoodsRecord> goods;
    std::vector<WeightRecord> pieces;
    context.goods().CopyByParent(goods, iid);
    context.weights().CopyByParent(pieces, iid);
    QJsonArray goodsJson;
    for (const GoodsRecord &g : goods) {
        goodsJson.append(RecordField::toJson(&g, GoodsRecord::fields()));
        text += QStringLiteral("goods\t%1\t%2\t%3\n")
                    .arg(ControlText::Escaped(Gbk::field(g.cname)))
                    .arg(g.nquantity)
                    .arg(g.fprice, 0, 'f', 2);
    }
    QJsonArray piecesJson;
    for (const WeightRecord &w : pieces) {
        piecesJson.append(RecordField::toJson(&w, WeightRecord::fields()));
        text += QStringLiteral("piece\t%1*%2*%3\t%4\t%5\n")
                    .arg(w.nlength)
                    .arg(w.nwidth)
                    .arg(w.nheight)
                    .arg(w.nweight)
                    .arg(int(w.nvolpercent));
    }
    json.insert(QStringLiteral("goods"), goodsJson);
    json.insert(QStringLiteral("pieces"), piecesJson);
}

const RecordListing::Kind kRecords{"records",
                                   [](ClientContext &c) -> RecordFile & { return c.preInputs(); },
                                   &PreInputRecord::fields,
                                   &listLine,
                                   &notFound,
                                   &linesOf};

} // namespace

int RecordsCommand::run(Cli &cli, const QStringList &args)
{
    if (args.isEmpty())
        return Cli::usage(QStringLiteral("records: a subcommand is needed"));
    if (args.first() == QLatin1String("list"))
        return RecordListing::list(cli, args.mid(1), kRecords);
    if (args.first() == QLatin1String("add"))
        return RecordAddCommand::run(cli, args.mid(1));
    if (args.first() == QLatin1String("show"))
        return RecordListing::show(cli, args.mid(1), kRecords);
    if (args.first() == QLatin1String("delete"))
        return remove(cli, args.mid(1));
    if (args.first() == QLatin1String("fields"))
        return args.size() == 1 ? fields() : Cli::usage(QStringLiteral("records fields: no arguments expected"));
    if (RecordsSheetCommand::handles(args))
        return RecordsSheetCommand::run(cli, args);
    return Cli::usage(QStringLiteral("records: unknown subcommand %1").arg(args.first()));
}

int RecordsCommand::fields()
{
    for (const PreInputFieldGuide::Entry &e : PreInputFieldGuide::All())
        Cli::out(e.name + u'\t' + e.caption + u'\t' + e.rule + u'\n');
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
