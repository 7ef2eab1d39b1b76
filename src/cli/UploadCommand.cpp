#include "UploadCommand.h"

#include "Cli.h"
#include "RecordIds.h"
#include "upload/UploadDisplay.h"
#include "upload/UploadRun.h"

#include <atomic>
#include <csignal>

namespace quarvel {

namespace {

std::atomic<UploadRun *> interrupted{nullptr};

void stopOnInterrupt(int)
{
    if (UploadRun *run = interrupted.load())
        run->RequestStop();
}

class ConsoleUploadDisplay : public UploadDisplay {
public:
    void uploadProgress(const QString &text) override
    {
        Cli::err(text + u'\n');
        lastProgress = text;
    }
    void uploadResult(int id, int status, bool removed, const QString &text) override
    {
        if (!removed)
            refused = true;
        const QString shown = removed && text.isEmpty() ? QStringLiteral("上传成功") : text;
        Cli::out(QStringLiteral("%1\t%2\t%3\n").arg(id).arg(status).arg(shown));
    }
    void uploadNumberCompleted(int id, const QString &number) override
    {
        Cli::err(QStringLiteral("%1\t%2\n").arg(id).arg(number));
    }
    void uploadEnded(UploadEnding e, const QString &text) override
    {
        ending = e;
        // The end of a complete run repeats the last counts: one line is enough.
        if (text != lastProgress)
            Cli::err(text + u'\n');
    }

    bool refused = false;
    QString lastProgress;
    UploadEnding ending = UploadEnding::AllSent;
};

} // namespace

int UploadCommand::run(Cli &cli, const QStringList &args)
{
    return upload(cli, args, UploadKind::Shipments, QStringLiteral("upload"));
}

int UploadCommand::runScans(Cli &cli, const QStringList &args)
{
    return upload(cli, args, UploadKind::Scans, QStringLiteral("scans upload"));
}

int UploadCommand::upload(Cli &cli, const QStringList &args, UploadKind kind, const QString &command)
{
    if (args.isEmpty())
        return Cli::usage(QStringLiteral("%1: record ids or --all expected").arg(command));
    ClientContext *context = cli.context();
    if (!context)
        return Cli::Failed;
    const RecordFile &file = kind == UploadKind::Shipments ? static_cast<const RecordFile &>(context->preInputs())
                                                           : static_cast<const RecordFile &>(context->checks());
    const std::optional<QList<int>> ids = RecordIds::parse(args, file, command);
    if (!ids)
        return Cli::Usage;
    if (!RecordIds::allKnown(*ids, file, cli.prompter()))
        return Cli::Refused;
    if (const int code = cli.logIn(*context); code != Cli::Done)
        return code;
    if (ids->isEmpty()) {
        cli.prompter().warning(QString(), QStringLiteral("没有选择需要上传的数据！"));
        return Cli::Refused;
    }
    UploadRun run(*context, kind);
    run.Prepare(*ids);
    if (!run.Start()) {
        cli.prompter().error(QString(), QStringLiteral("正在上传数据！"));
        return Cli::Failed;
    }
    interrupted = &run;
    std::signal(SIGINT, stopOnInterrupt);
    ConsoleUploadDisplay display;
    run.DrainUntilEnded(display);
    std::signal(SIGINT, SIG_DFL);
    interrupted = nullptr;
    QString unflushed;
    const bool flushed = context->FlushRecords(&unflushed);
    // The end's text said what the run could not store; a flush failing
    // after it is said here.
    if (!flushed && run.storageFailure().isEmpty())
        Cli::err(unflushed + u'\n');
    if (!run.storageFailure().isEmpty() || !flushed)
        return Cli::Failed;
    if (display.ending == UploadEnding::TransportFailed || display.ending == UploadEnding::EmptyReply)
        return Cli::Failed;
    return display.refused || display.ending != UploadEnding::AllSent ? Cli::Refused : Cli::Done;
}

} // namespace quarvel
