#include "PriceCommand.h"

#include "Cli.h"
#include "RecordIds.h"
#include "preinput/PricingJob.h"
#include "upload/UploadProgress.h"

namespace quarvel {

namespace {

class ConsolePricing : public PricingDisplay {
public:
    void priced(int id, int cents, bool stored) override
    {
        unpriced = unpriced || !stored;
        if (stored)
            Cli::out(QStringLiteral("%1\t%2\n").arg(id).arg(QString::asprintf("%.2f", cents * 0.01)));
        else
            Cli::out(QStringLiteral("%1\t-\t%2\n")
                         .arg(id)
                         .arg(cents < 0 ? QStringLiteral("缺少重量、目的地或快递类别") : QStringLiteral("没有价格")));
    }
    void pricingEnded(int endCode) override
    {
        code = endCode;
        if (code != 0)
            Cli::err(UploadProgress::transportText(code) + u'\n');
    }

    int code = 0;
    bool unpriced = false;
};

} // namespace

int PriceCommand::run(Cli &cli, const QStringList &args)
{
    if (args.isEmpty())
        return Cli::usage(QStringLiteral("price: record ids or --all expected"));
    ClientContext *context = cli.context();
    if (!context)
        return Cli::Failed;
    const std::optional<QList<int>> ids = RecordIds::parse(args, context->preInputs(), QStringLiteral("price"));
    if (!ids)
        return Cli::Usage;
    if (!RecordIds::allKnown(*ids, context->preInputs(), cli.prompter()))
        return Cli::Refused;
    if (const int code = cli.logIn(*context); code != Cli::Done)
        return code;
    if (ids->isEmpty()) {
        cli.prompter().warning(QString(), QStringLiteral("没有选择需要计价的记录！"));
        return Cli::Refused;
    }
    PricingJob job(*context);
    job.Prepare(*ids);
    if (!job.Start())
        return Cli::Failed;
    ConsolePricing display;
    job.DrainUntilEnded(display);
    if (display.code != 0)
        return Cli::Failed;
    return display.unpriced ? Cli::Refused : Cli::Done;
}

} // namespace quarvel
