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
    request.weight = args[1].trimmed().toDouble(&ok);
    request.itemType = itemType(args[2].trimmed());
    if (!ok) {
        cli.prompter().error(QString(), QStringLiteral("[重量]必须是数字：%1").arg(args[1]));
        return Cli::Refused;
    }
    if (request.itemType < 0) {
        cli.prompter().error(QString(), QStringLiteral("[物品类别]只能是 0 文件, 1 包裹, 2 防水袋：%1").arg(args[2]));
        return Cli::Refused;
    }
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    // Without a login the window opens the company's price page: the command prints its address.
    if (const int code = cli.wantsLogin() ? cli.logIn(*context) : Cli::Done; code != Cli::Done)
        return code;
    const PriceQuotation::Result r =
        PriceQuotation::Run(context->session(), context->baseData(), request, cli.prompter());
    switch (r.outcome) {
    case PriceQuotation::Outcome::Shown:
        Cli::out(r.title + u'\n');
        for (const PriceQuotation::Row &row : r.rows)
            Cli::out(row.kind + u'\t' + row.freight + u'\t' + row.remark + u'\n');
        return Cli::Done;
    case PriceQuotation::Outcome::OpenPage:
        // A host the configuration refused is no page to open.
        if (context->session().configuredHost().isEmpty()) {
            cli.prompter().error(QString(), QStringLiteral("没有可用的服务器地址，无法给出价格页面。"));
            return Cli::Failed;
        }
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
