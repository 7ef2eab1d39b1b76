#include "storage/LineRepair.h"

#include "text/Gbk.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace quarvel {

namespace {

struct Lines {
    int goods = 0;
    int pieces = 0;
};

// The parents of every line, sorted: a shipment's line count is one binary
// search away, with no hashing of a few hundred thousand lines.
class LineCounts {
public:
    LineCounts(const GoodsFile &goods, const WeightFile &weights) : goods_(parents(goods)), pieces_(parents(weights)) {}
    Lines of(int id) const { return {count(goods_, id), count(pieces_, id)}; }

    // Counts for ids asked in ascending order, walking the lists once.
    class Walk {
    public:
        explicit Walk(const LineCounts &counts) : counts_(counts) {}
        Lines of(int id) { return {step(counts_.goods_, goodsAt_, id), step(counts_.pieces_, piecesAt_, id)}; }

    private:
        static int step(const std::vector<int> &list, std::size_t &at, int id)
        {
            while (at < list.size() && list[at] < id)
                ++at;
            const std::size_t from = at;
            while (at < list.size() && list[at] == id)
                ++at;
            return static_cast<int>(at - from);
        }
        const LineCounts &counts_;
        std::size_t goodsAt_ = 0;
        std::size_t piecesAt_ = 0;
    };

private:
    template <class File> static std::vector<int> parents(const File &file)
    {
        std::vector<int> list(static_cast<std::size_t>(file.GetCount()));
        for (int i = 0; i < file.GetCount(); ++i)
            list[static_cast<std::size_t>(i)] = file.At(i)->iparent;
        std::sort(list.begin(), list.end());
        return list;
    }
    static int count(const std::vector<int> &list, int id)
    {
        const auto [from, to] = std::equal_range(list.begin(), list.end(), id);
        return static_cast<int>(to - from);
    }

    std::vector<int> goods_;
    std::vector<int> pieces_;
};

bool matches(const PreInputRecord &r, Lines lines)
{
    return r.ngoodslines == lines.goods && r.nweightlines == lines.pieces;
}

// Of the record on `oldId` and the one renumbered away from it, the one whose
// counts match the lines on `oldId` ends up holding that id.
bool restoreOwner(PreInputFile &records, const LineCounts &counts, int oldId, int newId)
{
    const int kept = records.FindIndexById(oldId);
    const int moved = records.FindIndexById(newId);
    if (oldId < 1 || kept < 0 || moved < 0)
        return false;
    const Lines lines = counts.of(oldId);
    PreInputRecord holder = *records.At(kept);
    PreInputRecord other = *records.At(moved);
    if (matches(holder, lines) || !matches(other, lines))
        return false;
    std::swap(holder, other);
    holder.iid = oldId;
    other.iid = newId;
    records.WriteAt(kept, &holder);
    records.WriteAt(moved, &other);
    return true;
}

} // namespace

LineRepair::Outcome LineRepair::Run(PreInputFile &records, const GoodsFile &goods, const WeightFile &weights)
{
    Outcome outcome;
    const LineCounts counts(goods, weights);
    for (const auto &[oldId, newId] : records.renumbered())
        if (restoreOwner(records, counts, oldId, newId))
            ++outcome.idsRestored;
    // Ids stand in ascending order in the file.
    LineCounts::Walk walk(counts);
    for (int i = 0; i < records.GetCount(); ++i) {
        const PreInputRecord *r = records.At(i);
        const Lines lines = walk.of(r->iid);
        if (matches(*r, lines))
            continue;
        PreInputRecord fixed = *r;
        fixed.ngoodslines = lines.goods;
        fixed.nweightlines = lines.pieces;
        outcome.fixed.push_back(
            {r->iid, Gbk::field(r->cnum), r->ngoodslines, lines.goods, r->nweightlines, lines.pieces});
        records.WriteAt(i, &fixed);
        ++outcome.countsFixed;
    }
    return outcome;
}

QString LineRepair::Text(const Outcome &outcome, const QString &recordsPath)
{
    if (!outcome.changed())
        return {};
    QString text =
        QStringLiteral("预录业务数据文件%1与物品、重量明细不一致（上次可能在保存中途中断）：").arg(recordsPath);
    if (outcome.idsRestored > 0)
        text += QStringLiteral("%1 条编号重复的记录已按明细归还原编号；").arg(outcome.idsRestored);
    text += QStringLiteral("%1 条记录的物品数、件数已按实际明细更正。\r\n").arg(outcome.countsFixed);
    // Each one by its number: a shipment that lost lines must be found and
    // keyed in again, not taken as whole.
    int named = 0;
    for (const Fixed &f : outcome.fixed) {
        if (named++ == kNamed) {
            text += QStringLiteral("……另有 %1 条。\r\n").arg(outcome.fixed.size() - kNamed);
            break;
        }
        text += QStringLiteral("%1（编号 %2）：物品 %3 条，现有 %4 条；件 %5 条，现有 %6 条。\r\n")
                    .arg(f.number.isEmpty() ? QStringLiteral("无单号") : f.number)
                    .arg(f.id)
                    .arg(f.goodsBefore)
                    .arg(f.goodsNow)
                    .arg(f.piecesBefore)
                    .arg(f.piecesNow);
    }
    text += QStringLiteral("请核对这些记录的物品和重量明细。");
    return text;
}

} // namespace quarvel
