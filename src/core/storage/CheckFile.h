#pragma once

#include "storage/CheckRecord.h"
#include "storage/TypedRecordFile.h"

#include <QByteArray>

#include <string>
#include <unordered_map>
#include <vector>

namespace quarvel {

// DATA/reccheck.dat: checkpoint scans waiting for upload. Scans are saved at
// scanner speed and every save looks for the same waybill number, so the
// numbers are indexed: appends, rewrites and deletes through this class keep
// the index; any other change of the count or the last id (a batch delete,
// a reopen) makes the next look-up rebuild it in one pass.
class CheckFile : public TypedRecordFile<CheckRecord> {
public:
    // The last scan (highest id) whose waybill number is exactly these GBK
    // bytes; null when none holds it.
    const CheckRecord *FindLastByNumber(const QByteArray &cnum);

    int Open() override;
    int Append(void *record) override;
    int WriteAt(int index, const void *record) override;
    int DeleteAt(int index) override;

private:
    struct Fingerprint {
        int count = -1;
        int lastId = -1;
        bool operator==(const Fingerprint &) const = default;
    };

    Fingerprint current() const { return {GetCount(), GetLastId()}; }
    bool indexCurrent() const { return indexed_ && fingerprint_ == current(); }
    void rebuild();
    void add(const CheckRecord &record);
    void remove(const CheckRecord &record);
    static std::string key(const CheckRecord &record);

    // Waybill number → ids holding it, ascending.
    std::unordered_map<std::string, std::vector<int>> numbers_;
    Fingerprint fingerprint_;
    bool indexed_ = false;
};

} // namespace quarvel
