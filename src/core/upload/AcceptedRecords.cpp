#include "upload/AcceptedRecords.h"

#include "app/ClientContext.h"
#include "storage/RecordFile.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace quarvel {

namespace {

template <class R> R recordOf(const QByteArray &bytes)
{
    R r{};
    std::memcpy(&r, bytes.constData(), std::min(sizeof r, static_cast<std::size_t>(bytes.size())));
    return r;
}

} // namespace

AcceptedRecords::AcceptedRecords(ClientContext &context, UploadKind kind) : context_(context), kind_(kind)
{
}

void AcceptedRecords::add(int id, QByteArray sent)
{
    if (waiting_.empty())
        oldestWaiting_ = std::chrono::steady_clock::now();
    sent_[id] = std::move(sent);
    waiting_.insert(id);
}

int AcceptedRecords::fileCount() const
{
    return kind_ == UploadKind::Shipments ? context_.preInputs().GetCount() : context_.checks().GetCount();
}

bool AcceptedRecords::due() const
{
    if (waiting_.empty())
        return false;
    const auto batch = static_cast<std::size_t>(std::max(kMinBatch, fileCount() / 8));
    return waiting_.size() >= batch || std::chrono::steady_clock::now() - oldestWaiting_ >= kBatchWait;
}

bool AcceptedRecords::recordInLedger()
{
    QList<UploadLedgerEntry> entries;
    // In id order, which is the list order of most runs: lines accepted in
    // one second keep the order the operator saw.
    for (int id : std::set<int>(waiting_.begin(), waiting_.end())) {
        const QByteArray &sent = sent_[id];
        UploadLedgerEntry::Acceptance acceptance =
            context_.uploadJournal().acceptance(kind_, id).value_or(UploadLedgerEntry::Acceptance{});
        if (!acceptance.at.isValid())
            acceptance.at = QDateTime::currentDateTime();
        const quint64 digest = UploadJournal::Digest(sent);
        if (kind_ == UploadKind::Shipments)
            entries.append(UploadLedgerEntry::OfShipment(recordOf<PreInputRecord>(sent), digest, acceptance));
        else
            entries.append(UploadLedgerEntry::OfScan(recordOf<CheckRecord>(sent), digest, acceptance));
    }
    return context_.uploadLedger().Record(entries);
}

void AcceptedRecords::flush(RecordFile &file)
{
    // The server and the ledger hold the records already; only their local
    // deletion may not have reached the disk.
    if (!file.Flush() && failure_.isEmpty())
        failure_ = file.errorText() + QStringLiteral("（记录已上传，本地的删除没能确认）");
}

void AcceptedRecords::commit()
{
    if (waiting_.empty())
        return;
    if (!recordInLedger()) {
        failure_ = context_.uploadLedger().failure() + QStringLiteral("已上传的记录留在本地，下次启动时再记入、删除。");
        for (int id : waiting_) {
            done_[id] = State::Unrecorded;
            sent_.erase(id);
        }
        waiting_.clear();
        return;
    }
    std::unordered_set<int> removed;
    auto pick = [&](const char *record) {
        std::int32_t id = 0;
        std::memcpy(&id, record, sizeof id);
        if (!waiting_.count(id))
            return false;
        const QByteArray &sent = sent_[id];
        if (std::memcmp(record, sent.constData(), static_cast<std::size_t>(sent.size())) != 0)
            return false;
        removed.insert(id);
        return true;
    };
    if (kind_ == UploadKind::Shipments) {
        context_.preInputs().DeleteWhere(pick);
        flush(context_.preInputs());
        context_.goods().DeleteByParents(removed);
        context_.weights().DeleteByParents(removed);
        flush(context_.goods());
        flush(context_.weights());
    } else {
        context_.checks().DeleteWhere(pick);
        flush(context_.checks());
    }
    for (int id : waiting_) {
        const bool stillThere = kind_ == UploadKind::Shipments ? context_.preInputs().Find(id) != nullptr
                                                               : context_.checks().Find(id) != nullptr;
        done_[id] = removed.count(id) || !stillThere ? State::Removed : State::Kept;
        sent_.erase(id);
    }
    waiting_.clear();
}

AcceptedRecords::State AcceptedRecords::state(int id) const
{
    if (waiting_.count(id))
        return State::Waiting;
    const auto it = done_.find(id);
    return it == done_.end() ? State::Unknown : it->second;
}

} // namespace quarvel
