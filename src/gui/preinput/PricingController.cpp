#include "preinput/PricingController.h"

#include "app/ClientContext.h"
#include "app/Prompter.h"

namespace quarvel {

PricingController::PricingController(ClientContext &context, Prompter &prompter, QObject *parent)
    : QObject(parent), context_(context), prompter_(prompter)
{
}

PricingController::~PricingController() = default;

bool PricingController::start(const QList<int> &ids, PricingResultSink *sink)
{
    if (job_ || context_.session().uploadBusy())
        return false;
    if (ids.isEmpty()) {
        prompter_.warning(QString(), QStringLiteral("没有选择需要计价的记录！"));
        return false;
    }
    sink_ = sink;
    job_ = std::make_unique<PricingJob>(context_);
    job_->Prepare(ids);
    // Reports are applied on this thread; the job is joined before this
    // object goes, so `this` outlives every queued call.
    if (!job_->Start([this] { QMetaObject::invokeMethod(this, &PricingController::drain, Qt::QueuedConnection); })) {
        job_.reset();
        return false;
    }
    return true;
}

void PricingController::drain()
{
    if (job_ && !job_->Drain(*this))
        job_.reset();
}

void PricingController::priced(int id, int cents, bool stored)
{
    if (stored && sink_)
        sink_->applyPrice(id, cents * 0.01);
}

void PricingController::pricingEnded(int code)
{
    if (sink_)
        sink_->pricingEnded();
    emit ended(code);
}

} // namespace quarvel
