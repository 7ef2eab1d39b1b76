#pragma once

#include "storage/TypedRecordFile.h"

#include <unordered_set>
#include <vector>

namespace quarvel {

// A file of lines that belong to a shipment through iparent: goods lines and
// pieces. A shipment's lines are appended together, so they stand in a run.
template <class R> class LineFile : public TypedRecordFile<R> {
public:
    // The lowest index whose line belongs to `parent`; -1 when none.
    int FindFirstByParent(int parent) const
    {
        for (int i = 0; i < this->GetCount(); ++i)
            if (this->At(i)->iparent == parent)
                return i;
        return -1;
    }

    // Removes every line of `parent`, in one pass over the file.
    void DeleteByParent(int parent)
    {
        this->DeleteWhere([parent](const char *r) { return reinterpret_cast<const R *>(r)->iparent == parent; });
    }

    // Removes the lines of many shipments in one pass (after an upload).
    int DeleteByParents(const std::unordered_set<int> &parents)
    {
        return this->DeleteWhere(
            [&parents](const char *r) { return parents.count(int(reinterpret_cast<const R *>(r)->iparent)) > 0; });
    }

    // Appends copies of the first run of `parent`'s lines to `list`. Returns the
    // index after the last line copied, or -1 when there is none.
    int CopyByParent(std::vector<R> &list, int parent) const
    {
        int i = FindFirstByParent(parent);
        if (i < 0)
            return -1;
        for (; i < this->GetCount() && this->At(i)->iparent == parent; ++i)
            list.push_back(*this->At(i));
        return i;
    }
};

} // namespace quarvel
