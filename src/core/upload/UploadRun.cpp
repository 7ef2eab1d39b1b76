#include "upload/UploadRun.h"

#include "app/ClientContext.h"
#include "text/Gbk.h"
#include "upload/DoubtLookup.h"
#include "upload/ShipmentCopy.h"
#include "upload/UploadBuilder.h"
#include "upload/UploadDisplay.h"
#include "upload/UploadJournal.h"
#include "upload/UploadProgress.h"
#include "upload/UploadStatus.h"

#include <algorithm>
#include <cstring>

namespace quarvel {

namespace {

template <class R> QByteArray recordBytes(const R &record)
{
    return QByteArray(reinterpret_cast<const char *>(&record), sizeof(R));
}

QList<int> withoutRepeats(const QList<int> &ids)
{
    QList<int> unique;
    std::unordered_set<int> seen;
    for (int id : ids)
        if (seen.insert(id).second)
            unique.append(id);
    return unique;
}

class SilentDisplay : public UploadDisplay {
public:
    void uploadProgress(const QString &) override {}
    void uploadResult(int, int, bool, const QString &) override {}
    void uploadEnded(UploadEnding, const QString &) override {}
};

} // namespace

UploadRun::UploadRun(ClientContext &context, UploadKind kind) : context_(context), kind_(kind), accepted_(context, kind)
{
}

UploadRun::~UploadRun()
{
    if (!started_ || ended_)
        return;
    job_->requestStop();
    job_->join();
    SilentDisplay silent;
    Drain(silent);
}

void UploadRun::Prepare(const QList<int> &ids)
{
    ServerSession &session = context_.session();
    context_.uploadJournal().setAccount(session.account());
    job_ = std::make_unique<UploadJob>(kind_, withoutRepeats(ids), session.CurrentServerHost(), session.timeouts(),
                                       context_.uploadJournal());
}

UploadJob::Item UploadRun::prepareShipment(int id, UploadDisplay &display)
{
    UploadJob::Item item;
    item.id = id;
    PreInputFile &file = context_.preInputs();
    const PreInputRecord *stored = file.Find(id);
    if (!stored)
        return item;
    ShipmentCopy copy;
    copy.record = *stored;
    context_.goods().CopyByParent(copy.goods, id);
    context_.weights().CopyByParent(copy.pieces, id);

    const ServerSession &session = context_.session();
    QByteArray number(copy.record.cnum, static_cast<qsizetype>(::strnlen(copy.record.cnum, sizeof copy.record.cnum)));
    const bool changed = WaybillTidy::Complete(number, session.clientId(), true, sizeof copy.record.cnum - 1);
    // Two records must never go with one number: such a record stays.
    if (changed && WaybillTidy::TakenByAnother(file, id, number))
        return item;
    if (changed)
        Gbk::setField(copy.record.cnum, sizeof copy.record.cnum, number);
    item.envelope = UploadBuilder::BuildRecordUpload(session, context_.baseData(), copy);
    if (item.envelope.isEmpty())
        return item;
    if (changed) {
        // The number the server gets is the number the record keeps.
        file.SetNumber(file.Find(id), number);
        file.Flush();
        display.uploadNumberCompleted(id, Gbk::toUnicode(number));
    }
    UploadJournal &journal = context_.uploadJournal();
    if (journal.inDoubt(kind_, id))
        doubted_.insert(id);
    sentCopies_[id] = recordBytes(copy.record);
    item.digest = UploadJournal::Digest(sentCopies_[id]);
    // Only a record still holding the bytes of the send in doubt may be
    // finished by what the server holds.
    if (journal.doubtDigest(kind_, id) == item.digest)
        item.lookup = DoubtLookup::For(session, context_.baseData(), copy.record);
    return item;
}

UploadJob::Item UploadRun::prepareScan(int id)
{
    UploadJob::Item item;
    item.id = id;
    const CheckRecord *r = context_.checks().Find(id);
    // No operation shows whether the server holds a scan: one in doubt
    // waits for the operator rather than being stored twice.
    item.heldBack = r && context_.uploadJournal().inDoubt(kind_, id);
    if (!r || item.heldBack)
        return item;
    const CheckRecord copy = *r;
    item.envelope = UploadBuilder::BuildScanUpload(context_.session(), copy);
    if (!item.envelope.isEmpty()) {
        sentCopies_[id] = recordBytes(copy);
        item.digest = UploadJournal::Digest(sentCopies_[id]);
    }
    return item;
}

bool UploadRun::Start(std::function<void()> wake)
{
    if (!job_ || started_)
        return false;
    bool idle = false;
    if (!context_.session().uploadBusy().compare_exchange_strong(idle, true))
        return false;
    job_->events().setWake(std::move(wake));
    started_ = true;
    job_->start();
    return true;
}

void UploadRun::RequestStop()
{
    if (job_)
        job_->requestStop();
}

bool UploadRun::stopRequested() const
{
    return job_ && job_->stopRequested();
}

QString UploadRun::refusalText(const Result &r) const
{
    if (r.doubt == UploadJob::Doubt::HeldBack)
        return QStringLiteral("服务器可能已有此记录(未重发)");
    // A repeat of a record an earlier send may have stored is not simply
    // someone else's number unless the server showed it is.
    if (kind_ == UploadKind::Shipments && r.status == UploadStatus::kWaybillHeld && doubted_.count(r.id) &&
        r.doubt != UploadJob::Doubt::Cleared)
        return QStringLiteral("单号重复(服务器可能已有此记录)");
    return UploadStatus::text(kind_, r.status);
}

void UploadRun::releaseResults(UploadDisplay &display)
{
    while (!results_.empty()) {
        const Result r = results_.front();
        UploadResultBook &book = context_.uploadResults();
        if (!UploadStatus::accepted(r.status)) {
            const QString text = refusalText(r);
            book.Refused(kind_, r.id, context_.RecordDigest(kind_, r.id), text);
            display.uploadResult(r.id, r.status, false, text);
        } else {
            const AcceptedRecords::State state = accepted_.state(r.id);
            if (state == AcceptedRecords::State::Waiting)
                break;
            // A record edited while it travelled stays, with a note; so does
            // one whose ledger line could not be written.
            const bool kept = state == AcceptedRecords::State::Kept || state == AcceptedRecords::State::Unrecorded;
            QString text;
            if (state == AcceptedRecords::State::Kept)
                text = QStringLiteral("已上传(本地记录已修改，未删除)");
            else if (kept)
                text = QStringLiteral("已上传(日结记录未能写入，未删除)");
            else if (r.doubt == UploadJob::Doubt::Found)
                text = QStringLiteral("已上传(服务器已有此记录)");
            if (kept)
                book.Refused(kind_, r.id, context_.RecordDigest(kind_, r.id), text);
            else
                book.Accepted(kind_, r.id);
            display.uploadResult(r.id, r.status, !kept, text);
        }
        results_.pop_front();
    }
}

bool UploadRun::Drain(UploadDisplay &display)
{
    if (!started_ || ended_)
        return false;
    for (const UploadJob::Event &e : job_->events().takeAll()) {
        if (e.end) {
            ended_ = true;
            end_ = e;
            continue;
        }
        if (e.wantsItem) {
            if (const std::optional<int> id = job_->itemRequests().take())
                job_->itemRequests().answer(kind_ == UploadKind::Shipments ? prepareShipment(*id, display)
                                                                           : prepareScan(*id));
            continue;
        }
        display.uploadProgress(UploadProgress::counts(total(), e.successes, e.failures));
        results_.push_back({e.id, e.status, e.doubt});
        if (UploadStatus::accepted(e.status)) {
            const auto sent = sentCopies_.find(e.id);
            accepted_.add(e.id, sent->second);
            sentCopies_.erase(sent);
        }
    }
    if (ended_ || accepted_.due())
        accepted_.commit();
    releaseResults(display);
    if (!ended_)
        return true;
    job_->join();
    context_.uploadJournal().Settle(context_);
    context_.uploadResults().Save();
    context_.session().uploadBusy() = false;
    const bool notJournaled = end_.ending == UploadEnding::TransportFailed && end_.code == UploadJob::kNotJournaled;
    QString text = notJournaled ? UploadProgress::journalText(context_.uploadJournal().failureReason())
                                : UploadProgress::final(end_.ending, end_.code, total(), end_.successes, end_.failures);
    // What the server accepted but the disk did not take is said with the end.
    if (!accepted_.failure().isEmpty())
        text += QStringLiteral("\r\n") + accepted_.failure();
    display.uploadEnded(end_.ending, text);
    return false;
}

bool UploadRun::WaitForEvents(int milliseconds)
{
    return job_ && job_->events().wait(milliseconds);
}

void UploadRun::DrainUntilEnded(UploadDisplay &display)
{
    while (Drain(display))
        WaitForEvents(static_cast<int>(AcceptedRecords::kBatchWait.count()));
}

} // namespace quarvel
