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
    asked_ = priced_ = 0;
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
    ++asked_;
    if (!stored)
        return;
    ++priced_;
    if (sink_)
        sink_->applyPrice(id, cents * 0.01);
}

void PricingController::pricingEnded(int code)
{
    if (code != 0)
        prompter_.warning(QString(),
                          QStringLiteral("计价中断：与服务器通讯失败(%1)。已计价 %2 条。").arg(code).arg(priced_));
    else if (priced_ == 0)
        prompter_.warning(QString(),
                          QStringLiteral("所选的 %1 条记录都没有计价：记录要有重量、目的地和基本数据中的快递类别，"
                                         "服务器也要有这个目的地的价格。")
                              .arg(asked_));
    else
        prompter_.inform(QString(), QStringLiteral("计价完成：%1 条记录中 %2 条已计价。").arg(asked_).arg(priced_));
    if (sink_)
        sink_->pricingEnded();
    emit ended(code);
}

} // namespace quarvel
