#include "upload/UploadJob.h"

#include "net/Envelope.h"
#include "net/HttpTransport.h"
#include "net/ReplyText.h"
#include "query/ServerListQuery.h"
#include "upload/UploadJournal.h"
#include "upload/UploadStatus.h"

namespace quarvel {

UploadJob::UploadJob(UploadKind kind, QList<int> ids, QByteArray host, HttpTimeouts timeouts, UploadJournal &journal)
    : kind_(kind), ids_(std::move(ids)), host_(std::move(host)), timeouts_(timeouts), journal_(journal)
{
}

UploadJob::~UploadJob()
{
    requestStop();
    join();
}

void UploadJob::start()
{
    continue_ = true;
    thread_ = std::thread([this] { run(); });
}

void UploadJob::requestStop()
{
    continue_ = false;
    // A stop asked for while the worker waits for its next record sends nothing more.
    itemRequests_.close();
}

std::optional<UploadJob::Item> UploadJob::fetch(int id)
{
    return itemRequests_.ask(id, [this, id] {
        Event request;
        request.wantsItem = true;
        request.id = id;
        events_.push(request);
    });
}

void UploadJob::join()
{
    if (thread_.joinable())
        thread_.join();
}

void UploadJob::end(UploadEnding ending, int code)
{
    Event e;
    e.end = true;
    e.ending = ending;
    e.code = code;
    e.successes = successes_;
    e.failures = failures_;
    events_.push(e);
}

UploadJob::Doubt UploadJob::lookUp(const Item &item, int &status)
{
    std::vector<char> reply(ServerListQuery::kReplySize);
    const int result = HttpPost(host_, Envelope::path(), item.lookup.envelope(), reply, timeouts_);
    const DoubtLookup::Result found =
        result > 0 ? item.lookup.Judge(ReplyText::cString(reply.data(), result)) : DoubtLookup::Result{};
    switch (found.verdict) {
    case DoubtLookup::Verdict::Held:
        // Finished like any acceptance: on disk before it is reported.
        status = found.serverId;
        journal_.Answered(kind_, item.id, item.digest, status);
        return Doubt::Found;
    case DoubtLookup::Verdict::NotHeld:
        journal_.Cleared(kind_, item.id);
        return Doubt::Cleared;
    case DoubtLookup::Verdict::Unknown:
        break;
    }
    return Doubt::Unchecked;
}

void UploadJob::run()
{
    std::vector<char> reply(kReplySize);
    for (qsizetype i = 0; i < ids_.size(); ++i) {
        const std::optional<Item> fetched = fetch(ids_[i]);
        if (!fetched)
            return end(UploadEnding::Cancelled, 0);
        const Item &item = *fetched;
        int status = item.heldBack ? 0 : -1;
        Doubt doubt = item.heldBack ? Doubt::HeldBack : Doubt::None;
        if (!item.heldBack && !item.envelope.isEmpty()) {
            if (!journal_.Sending(kind_, item.id, item.digest))
                return end(UploadEnding::TransportFailed, kNotJournaled);
            const int result = HttpPost(host_, Envelope::path(), item.envelope, reply, timeouts_);
            if (result < 0)
                return end(UploadEnding::TransportFailed, result);
            if (result == 0)
                return end(UploadEnding::EmptyReply, 0);
            status = UploadStatus::read(ReplyText::cString(reply.data(), result));
            journal_.Answered(kind_, item.id, item.digest, status);
            if (status == UploadStatus::kWaybillHeld && !item.lookup.empty())
                doubt = lookUp(item, status);
        }
        if (UploadStatus::accepted(status))
            ++successes_;
        else
            ++failures_;
        Event e;
        e.id = item.id;
        e.status = status;
        e.doubt = doubt;
        e.successes = successes_;
        e.failures = failures_;
        events_.push(e);
        if (status < -9)
            return end(UploadEnding::StoppedByServer, status);
        if (!continue_ && i + 1 < ids_.size())
            return end(UploadEnding::Cancelled, 0);
    }
    end(UploadEnding::AllSent, 0);
}

} // namespace quarvel
