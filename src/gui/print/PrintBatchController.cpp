#include "print/PrintBatchController.h"

namespace quarvel {

PrintBatchController::PrintBatchController(const QString &what, ShowOperation showOperation, QObject *parent)
    : QObject(parent), what_(what), showOperation_(std::move(showOperation))
{
}

PrintBatchController::~PrintBatchController() = default;

bool PrintBatchController::start(std::unique_ptr<PrintBatch> batch, Ended ended)
{
    if (batch_ || !batch || batch->size() == 0)
        return false;
    batch_ = std::move(batch);
    ended_ = std::move(ended);
    failures_.clear();
    if (showOperation_)
        showOperation_(QStringLiteral("当前操作：%1 0/%2...").arg(what_).arg(batch_->size()));
    // The worker wakes this object through the event loop; the batch is
    // joined before this object goes, so `this` outlives every queued call.
    if (!batch_->Start(
            [this] { QMetaObject::invokeMethod(this, &PrintBatchController::drain, Qt::QueuedConnection); })) {
        batch_.reset();
        return false;
    }
    return true;
}

void PrintBatchController::stop()
{
    if (batch_)
        batch_->RequestStop();
}

void PrintBatchController::drain()
{
    if (batch_ && !batch_->Drain(*this)) {
        batch_.reset();
        emit finished();
    }
}

void PrintBatchController::documentDone(const PrintBatch::Report &report)
{
    const auto who = [](int id, const QString &waybill) { return waybill.isEmpty() ? QString::number(id) : waybill; };
    if (report.outcome.status == PrintOutcome::Status::Skipped || !report.gone.isEmpty()) {
        for (const PrintBatch::Selected &g : report.gone)
            failures_ << QStringLiteral("%1: %2").arg(who(g.id, g.waybill), PrintBatch::GoneText());
    } else if (report.outcome.ok() && !report.outcome.message.isEmpty()) {
        failures_ << QStringLiteral("%1: %2").arg(who(report.id, report.waybill), report.outcome.message);
    } else if (!report.outcome.ok() && report.outcome.status != PrintOutcome::Status::Cancelled) {
        failures_ << QStringLiteral("%1: %2").arg(who(report.id, report.waybill), report.outcome.message.isEmpty()
                                                                                      ? QStringLiteral("打印失败。")
                                                                                      : report.outcome.message);
    }
    if (showOperation_)
        showOperation_(QStringLiteral("当前操作：%1 %2/%3...").arg(what_).arg(report.done).arg(report.total));
    emit documentFinished(report.id);
}

void PrintBatchController::batchEnded(const PrintBatch::Ending &ending)
{
    if (showOperation_)
        showOperation_(QString());
    if (ended_)
        ended_(ending, failures_);
}

} // namespace quarvel
