#include "storage/CheckFile.h"

#include <algorithm>
#include <cstring>

namespace quarvel {

std::string CheckFile::key(const CheckRecord &record)
{
    return std::string(record.cnum, ::strnlen(record.cnum, sizeof record.cnum));
}

void CheckFile::rebuild()
{
    numbers_.clear();
    for (int i = 0; i < GetCount(); ++i)
        numbers_[key(*At(i))].push_back(At(i)->iid);
    for (auto &entry : numbers_)
        std::sort(entry.second.begin(), entry.second.end());
    fingerprint_ = current();
    indexed_ = true;
}

void CheckFile::add(const CheckRecord &record)
{
    std::vector<int> &ids = numbers_[key(record)];
    ids.insert(std::upper_bound(ids.begin(), ids.end(), record.iid), record.iid);
}

void CheckFile::remove(const CheckRecord &record)
{
    const auto found = numbers_.find(key(record));
    if (found == numbers_.end())
        return;
    std::vector<int> &ids = found->second;
    const auto at = std::lower_bound(ids.begin(), ids.end(), record.iid);
    if (at != ids.end() && *at == record.iid)
        ids.erase(at);
    if (ids.empty())
        numbers_.erase(found);
}

const CheckRecord *CheckFile::FindLastByNumber(const QByteArray &cnum)
{
    if (cnum.size() >= static_cast<qsizetype>(sizeof(CheckRecord::cnum)))
        return nullptr;
    if (!indexCurrent())
        rebuild();
    const auto found = numbers_.find(std::string(cnum.constData(), static_cast<std::size_t>(cnum.size())));
    if (found == numbers_.end())
        return nullptr;
    const CheckRecord *last = Find(found->second.back());
    // A record changed through its pointer would not match any more: look
    // again with a fresh index rather than trust a stale one.
    if (!last || key(*last) != found->first) {
        rebuild();
        const auto again = numbers_.find(found->first);
        return again == numbers_.end() ? nullptr : Find(again->second.back());
    }
    return last;
}

int CheckFile::Open()
{
    indexed_ = false;
    numbers_.clear();
    return TypedRecordFile<CheckRecord>::Open();
}

int CheckFile::Append(void *record)
{
    const bool keep = indexCurrent();
    const int count = TypedRecordFile<CheckRecord>::Append(record);
    if (count > 0 && keep) {
        add(*static_cast<const CheckRecord *>(record));
        fingerprint_ = current();
    }
    return count;
}

int CheckFile::WriteAt(int index, const void *record)
{
    const bool keep = indexCurrent();
    const CheckRecord *old = At(index);
    const CheckRecord before = old ? *old : CheckRecord{};
    const int written = TypedRecordFile<CheckRecord>::WriteAt(index, record);
    if (written > 0 && keep) {
        remove(before);
        add(*At(index));
        fingerprint_ = current();
    }
    return written;
}

int CheckFile::DeleteAt(int index)
{
    const bool keep = indexCurrent();
    const CheckRecord *old = At(index);
    const CheckRecord before = old ? *old : CheckRecord{};
    const int deleted = TypedRecordFile<CheckRecord>::DeleteAt(index);
    if (deleted > 0 && keep) {
        remove(before);
        fingerprint_ = current();
    }
    return deleted;
}

} // namespace quarvel
