#include "preinput/PricingJob.h"

#include "app/ClientContext.h"
#include "net/Envelope.h"
#include "net/HttpTransport.h"
#include "net/ReplyText.h"
#include "preinput/FreightQuery.h"

namespace quarvel {

namespace {

class SilentPricing : public PricingDisplay {
public:
    void priced(int, int, bool) override {}
    void pricingEnded(int) override {}
};

} // namespace

PricingJob::PricingJob(ClientContext &context) : context_(context)
{
}

PricingJob::~PricingJob()
{
    if (!started_ || ended_)
        return;
    continue_ = false;
    if (thread_.joinable())
        thread_.join();
    SilentPricing silent;
    Drain(silent);
}

void PricingJob::Prepare(const QList<int> &ids)
{
    const ServerSession &session = context_.session();
    items_.clear();
    for (int id : ids) {
        const PreInputRecord *r = context_.preInputs().Find(id);
        items_.push_back({id, r ? FreightQuery::envelopeFor(session, context_.baseData(), *r) : QByteArray()});
    }
    host_ = session.CurrentServerHost();
    timeouts_ = session.timeouts();
}

bool PricingJob::Start(std::function<void()> wake)
{
    if (started_)
        return false;
    bool idle = false;
    if (!context_.session().uploadBusy().compare_exchange_strong(idle, true))
        return false;
    events_.setWake(std::move(wake));
    started_ = true;
    thread_ = std::thread([this] { run(); });
    return true;
}

void PricingJob::run()
{
    std::vector<char> reply(kReplySize);
    for (const Item &item : items_) {
        if (!continue_)
            break;
        if (item.envelope.isEmpty()) {
            events_.push({false, item.id, -1, 0});
            continue;
        }
        const int result = HttpPost(host_, Envelope::path(), item.envelope, reply, timeouts_);
        if (result <= 0) {
            events_.push({true, 0, 0, result < 0 ? result : -1});
            return;
        }
        events_.push({false, item.id, FreightQuery::cents(ReplyText::cString(reply.data(), result)), 0});
    }
    events_.push({true, 0, 0, 0});
}

bool PricingJob::Drain(PricingDisplay &display)
{
    if (!started_ || ended_)
        return false;
    bool stored = false;
    int endCode = 0;
    for (const Event &e : events_.takeAll()) {
        if (e.end) {
            ended_ = true;
            endCode = e.code;
            continue;
        }
        PreInputRecord *r = e.cents > 0 ? context_.preInputs().Find(e.id) : nullptr;
        if (r) {
            const RecordFile::Change change(context_.preInputs());
            r->ffee = e.cents * 0.01;
            stored = true;
        }
        display.priced(e.id, e.cents, r != nullptr);
    }
    if (stored)
        context_.preInputs().Flush();
    if (!ended_)
        return true;
    thread_.join();
    context_.session().uploadBusy() = false;
    display.pricingEnded(endCode);
    return false;
}

void PricingJob::DrainUntilEnded(PricingDisplay &display)
{
    while (Drain(display))
        WaitForEvents(1000);
}

} // namespace quarvel
