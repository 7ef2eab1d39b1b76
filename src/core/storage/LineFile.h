#pragma once

#include "storage/TypedRecordFile.h"

#include <unordered_set>
#include <vector>

namespace quarvel {

// A file of lines that belong to a shipment through iparent: goods lines and
// pieces. A shipment's lines are appended together right after it, so a file
// is usually in parent order, until an older shipment's lines are written
// again at its end. A writer knows whether its file is in parent order (from
// the clean-close note, else one pass at the first look-up or at the close;
// then kept up with its appends and deletes); while it is, look-ups by parent
// are binary searches and a parent's lines are one range. A reader takes the
// note while no writer has changed the file since it opened; otherwise every
// line is looked at.
template <class R> class LineFile : public TypedRecordFile<R> {
public:
    int Open() override
    {
        order_ = Order::Unknown;
        return TypedRecordFile<R>::Open();
    }

    int Append(void *record) override
    {
        const int parent = static_cast<const R *>(record)->iparent;
        const int count = this->GetCount();
        if (order_ == Order::Parents && count > 0 && this->At(count - 1)->iparent > parent)
            order_ = Order::Mixed;
        return TypedRecordFile<R>::Append(record);
    }

    // Whether the file is in parent order (1) or not (0), for the clean-close
    // note; a writer that has not needed to know finds out now, once.
    std::int32_t contentNote() const override
    {
        if (this->readOnly())
            return -1;
        return inParentOrder() ? 1 : 0;
    }

    int WriteAt(int index, const void *record) override
    {
        order_ = Order::Unknown;
        return TypedRecordFile<R>::WriteAt(index, record);
    }

    // The lowest index whose line belongs to `parent`; -1 when none.
    int FindFirstByParent(int parent) const
    {
        if (inParentOrder()) {
            const int at = lowerBound(parent);
            return at < this->GetCount() && this->At(at)->iparent == parent ? at : -1;
        }
        for (int i = 0; i < this->GetCount(); ++i)
            if (this->At(i)->iparent == parent)
                return i;
        return -1;
    }

    // Removes every line of `parent`: in parent order its one range, with one
    // move of the lines after it; else in one pass over the file.
    void DeleteByParent(int parent)
    {
        if (!inParentOrder()) {
            deleteWhere([parent](const R *r) { return r->iparent == parent; });
            return;
        }
        const int first = lowerBound(parent);
        const int end = lowerBound(parent + 1);
        if (end > first)
            this->DeleteRange(first, end - first);
    }

    // Removes the lines of many shipments in one pass (after an upload).
    int DeleteByParents(const std::unordered_set<int> &parents)
    {
        return deleteWhere([&parents](const R *r) { return parents.count(int(r->iparent)) > 0; });
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

protected:
    void takeContentNote(std::int32_t note) override
    {
        order_ = note == 1 ? Order::Parents : note == 0 ? Order::Mixed : Order::Unknown;
    }

private:
    enum class Order { Unknown, Parents, Mixed };

    bool inParentOrder() const
    {
        if (this->readOnly())
            return order_ == Order::Parents && this->unchangedSinceOpen();
        if (order_ == Order::Unknown) {
            order_ = Order::Parents;
            for (int i = 1; i < this->GetCount() && order_ == Order::Parents; ++i)
                if (this->At(i)->iparent < this->At(i - 1)->iparent)
                    order_ = Order::Mixed;
        }
        return order_ == Order::Parents;
    }

    // The first index whose parent is not below `parent`, in a file in parent order.
    int lowerBound(int parent) const
    {
        int low = 0;
        int high = this->GetCount();
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (this->At(middle)->iparent < parent)
                low = middle + 1;
            else
                high = middle;
        }
        return low;
    }

    // Deleting keeps parent order; a mixed file may be in order afterwards.
    template <class Pick> int deleteWhere(Pick pick)
    {
        if (order_ == Order::Mixed)
            order_ = Order::Unknown;
        return this->DeleteWhere([&pick](const char *r) { return pick(reinterpret_cast<const R *>(r)); });
    }

    mutable Order order_ = Order::Unknown;
};

} // namespace quarvel
