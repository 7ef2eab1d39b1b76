#include "QuoteCommand.h"

#include "Cli.h"
#include "query/PriceQuotation.h"

namespace quarvel {

namespace {

int itemType(const QString &text)
{
    for (int i = 0; i < 3; ++i)
        if (text == QString::number(i) || text == PriceQuotation::itemTypeName(i))
            return i;
    return -1;
}

} // namespace

int QuoteCommand::run(Cli &cli, const QStringList &args)
{
    if (args.size() != 3)
        return Cli::usage(QStringLiteral("quote: DESTINATION WEIGHT ITEMTYPE expected"));
    PriceQuotation::Request request;
    request.destination = args[0];
    bool ok = false;
    request.weight = args[1].toDouble(&ok);
    request.itemType = itemType(args[2]);
    if (!ok || request.itemType < 0)
        return Cli::usage(QStringLiteral("quote: WEIGHT in kg and ITEMTYPE 0-2 (文件, 包裹, 防水袋) expected"));
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context || !cli.ensureLoggedIn(*context))
        return Cli::Failed;
    const PriceQuotation::Result r =
        PriceQuotation::Run(context->session(), context->baseData(), request, cli.prompter());
    switch (r.outcome) {
    case PriceQuotation::Outcome::Shown:
        Cli::out(r.title + u'\n');
        for (const PriceQuotation::Row &row : r.rows)
            Cli::out(row.kind + u'\t' + row.freight + u'\t' + row.remark + u'\n');
        return Cli::Done;
    case PriceQuotation::Outcome::OpenPage:
        Cli::out(r.url + u'\n');
        return Cli::Done;
    case PriceQuotation::Outcome::Refused:
    case PriceQuotation::Outcome::NoResult:
        return Cli::Refused;
    case PriceQuotation::Outcome::Failed:
        break;
    }
    return Cli::Failed;
}

} // namespace quarvel
