#include "print/PagePrintRunner.h"

#include "app/Prompter.h"
#include "print/DialogPrintPreview.h"
#include "print/DocumentPrinter.h"
#include "print/PrintBatchController.h"
#include "shell/PageEnv.h"

namespace quarvel {

PagePrintRunner::PagePrintRunner(PageEnv &env, QWidget *page)
    : env_(env), ownPreview_(std::make_unique<DialogPrintPreview>(page)), preview_(ownPreview_.get())
{
}

PagePrintRunner::~PagePrintRunner() = default;

bool PagePrintRunner::busy() const
{
    return printingOne_ || (batch_ && batch_->running());
}

PrintOutcome PagePrintRunner::printOne(const PrintOne &print)
{
    printingOne_ = true;
    DocumentPrinter printer(env_.context, preview_);
    const PrintOutcome outcome = print(printer);
    printingOne_ = false;
    if (outcome.status == PrintOutcome::Status::Failed && !outcome.message.isEmpty())
        env_.prompter.error(QString(), outcome.message);
    else if (outcome.ok() && !outcome.message.isEmpty())
        env_.prompter.warning(QString(), outcome.message);
    return outcome;
}

bool PagePrintRunner::startBatch(std::unique_ptr<PrintBatch> batch, const QString &what, AfterBatch after)
{
    if (busy())
        return false;
    batch_ = std::make_unique<PrintBatchController>(what, env_.showOperation);
    connect(batch_.get(), &PrintBatchController::documentFinished, this, &PagePrintRunner::documentPrinted);
    const auto ended = [this, after = std::move(after)](const PrintBatch::Ending &ending, const QStringList &failures) {
        if (!ending.startFailure.isEmpty())
            env_.prompter.error(QString(), ending.startFailure);
        else if (!failures.isEmpty())
            env_.prompter.error(QString(), QStringLiteral("以下 %1 份没有完成：\r\n").arg(failures.size()) +
                                               failures.join(QStringLiteral("\r\n")));
        if (after)
            after(ending);
        emit printingEnded();
    };
    return batch_->start(std::move(batch), ended);
}

} // namespace quarvel
