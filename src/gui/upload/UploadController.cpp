#include "upload/UploadController.h"

#include "app/ClientContext.h"
#include "shell/CMainFrame.h"
#include "shell/FrameTexts.h"
#include "upload/UploadProgress.h"
#include "upload/UploadResultSink.h"
#include "upload/UploadRun.h"

namespace quarvel {

UploadController::UploadController(ClientContext &context, CMainFrame &frame, QObject *parent)
    : QObject(parent), context_(context), frame_(frame)
{
    // A batch of accepted records that waits for its time is deleted even
    // while the server is slow to send the next reply.
    timer_.setInterval(500);
    connect(&timer_, &QTimer::timeout, this, &UploadController::drain);
}

UploadController::~UploadController() = default;

void UploadController::registerPage(int page, UploadKind kind, UploadResultSink *sink)
{
    pages_.insert(page, {kind, sink});
}

void UploadController::attach()
{
    frame_.setUploadStarter([this](int page, const QList<int> &ids) { return start(page, ids); });
    frame_.setUploadStopper([this] { stop(); });
}

bool UploadController::running() const
{
    return run_ && run_->started() && !run_->ended();
}

bool UploadController::start(int page, const QList<int> &ids)
{
    const auto it = pages_.constFind(page);
    if (it == pages_.constEnd() || running() || context_.session().uploadBusy())
        return false;
    sink_ = it->sink;
    run_ = std::make_unique<UploadRun>(context_, it->kind);
    run_->Prepare(ids);
    // The worker's wake-up is a queued call: the reports are applied on this
    // thread. The run is joined before this object goes, so `this` outlives it.
    const bool started =
        run_->Start([this] { QMetaObject::invokeMethod(this, &UploadController::drain, Qt::QueuedConnection); });
    if (!started) {
        run_.reset();
        return false;
    }
    frame_.SetOperationText(UploadProgress::counts(run_->total(), 0, 0), FrameTexts::kOperationColor);
    timer_.start();
    return true;
}

void UploadController::stop()
{
    if (running())
        run_->RequestStop();
}

void UploadController::drain()
{
    if (running())
        run_->Drain(*this);
}

void UploadController::uploadProgress(const QString &text)
{
    frame_.SetOperationText(text, FrameTexts::kOperationColor);
}

void UploadController::uploadResult(int id, int status, bool removed, const QString &text)
{
    if (sink_)
        sink_->applyUploadResult(id, status, removed, text);
}

void UploadController::uploadNumberCompleted(int id, const QString &number)
{
    if (sink_)
        sink_->applyWaybillNumber(id, number);
}

void UploadController::uploadEnded(UploadEnding ending, const QString &text)
{
    timer_.stop();
    const bool failed = ending == UploadEnding::TransportFailed || ending == UploadEnding::EmptyReply ||
                        ending == UploadEnding::StoppedByServer;
    frame_.SetOperationText(text, failed ? kFailureColor : FrameTexts::kOperationColor);
    frame_.SetUploading(false);
    if (sink_)
        sink_->uploadEnded();
    emit ended(ending);
}

} // namespace quarvel
