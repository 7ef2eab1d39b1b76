#include "preinput/PreInputRows.h"

#include "preinput/PreInputValues.h"
#include "storage/PreInputFile.h"
#include "text/Gbk.h"

#include <array>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace quarvel {

namespace {

QString choice(const QStringList &texts, int index)
{
    return index >= 0 && index < texts.size() ? texts.at(index) : QString();
}

QString dateText(const RecordDate &date)
{
    return QString::asprintf("%d-%02d-%02d", int(date.year), int(date.month), int(date.day));
}

template <std::size_t N> std::string_view bytesOf(const char (&field)[N])
{
    return std::string_view(field, ::strnlen(field, N));
}

// A memo of the texts already made for one column. A column whose values
// rarely repeat (waybill numbers, receivers) stops using it after a first
// sample, so that it costs no more than decoding every value.
template <class Key> class Memo {
public:
    static constexpr std::size_t kLimit = 4096;
    static constexpr int kSample = 512;

    template <class Make> const QString &get(const Key &key, Make make)
    {
        if (off_)
            return scratch_ = make();
        if (++lookups_ == kSample && hits_ * 2 < lookups_) {
            off_ = true;
            texts_.clear();
            return scratch_ = make();
        }
        auto found = texts_.find(key);
        if (found != texts_.end()) {
            ++hits_;
            return found->second;
        }
        if (texts_.size() >= kLimit)
            return scratch_ = make();
        return texts_.emplace(key, make()).first->second;
    }

private:
    std::unordered_map<Key, QString> texts_;
    QString scratch_;
    int lookups_ = 0;
    int hits_ = 0;
    bool off_ = false;
};

} // namespace

// The cells of many records, with each column's repeated texts made once.
// Text keys point into the mapped file, which does not change during a build.
class PreInputRows::Decoder {
public:
    QStringList cells(const PreInputRecord &r)
    {
        const RecordDate date = r.ddate;
        std::uint32_t dateKey = 0;
        std::memcpy(&dateKey, &date, sizeof dateKey);
        QStringList cells;
        cells.reserve(17);
        cells << QString() << (r.nmarked == 1 ? check_ : QString())
              << dates_.get(dateKey, [&] { return dateText(date); }) << text(kNumber, bytesOf(r.cnum))
              << choice(PreInputValues::itemTypes(), r.nitemtype) << number(r.npieces) << real(weights_, r.fweight, 3)
              << real(fees_, r.ffee, 2) << text(kDestination, bytesOf(r.cdes)) << text(kKind, bytesOf(r.cemskind))
              << choice(PreInputValues::payWays(), r.npayway) << text(kSender, bytesOf(r.csender))
              << text(kDepartment, bytesOf(r.cdepart)) << text(kReceiver, bytesOf(r.creceiver))
              << text(kMark, bytesOf(r.cmark)) << text(kGoods, bytesOf(r.cgoods)) << text(kRemark, bytesOf(r.cremark));
        return cells;
    }

private:
    enum Column { kNumber, kDestination, kKind, kSender, kDepartment, kReceiver, kMark, kGoods, kRemark, kColumns };

    const QString &text(Column column, std::string_view bytes)
    {
        return texts_[column].get(bytes, [bytes] { return Gbk::toUnicode(bytes.data(), bytes.size()); });
    }

    QString number(int n) { return n >= 0 && n < int(small_.size()) ? small_[std::size_t(n)] : QString::number(n); }

    static const QString &real(Memo<double> &memo, double v, int decimals)
    {
        return memo.get(v, [v, decimals] { return QString::number(v, 'f', decimals); });
    }

    const QString check_ = QStringLiteral("√");
    std::array<Memo<std::string_view>, kColumns> texts_;
    Memo<std::uint32_t> dates_;
    Memo<double> weights_;
    Memo<double> fees_;
    std::array<QString, 100> small_ = [] {
        std::array<QString, 100> all;
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = QString::number(i);
        return all;
    }();
};

PreInputRows::FilterMode PreInputRows::ModeOf(bool unmarkedTicked, bool markedTicked)
{
    if (unmarkedTicked && !markedTicked)
        return Unmarked;
    if (markedTicked && !unmarkedTicked)
        return Marked;
    return All;
}

bool PreInputRows::Passes(const PreInputRecord &record, FilterMode mode)
{
    switch (mode) {
    case Unmarked:
        return record.nmarked != 1;
    case Marked:
        return record.nmarked == 1;
    case All:
        break;
    }
    return true;
}

QStringList PreInputRows::Cells(const PreInputRecord &r)
{
    return Decoder().cells(r);
}

RecordListModel::Row PreInputRows::Row(const PreInputRecord &record)
{
    RecordListModel::Row row;
    row.id = record.iid;
    row.cells = Cells(record);
    row.text = record.nlocked == 1 ? kLockedText : RecordListModel::kBlack;
    return row;
}

std::vector<RecordListModel::Row> PreInputRows::Build(const PreInputFile &file, FilterMode mode)
{
    std::vector<RecordListModel::Row> rows;
    rows.reserve(static_cast<std::size_t>(file.GetCount()));
    Decoder decoder;
    for (int i = 0; i < file.GetCount(); ++i) {
        const PreInputRecord &r = *file.At(i);
        if (!Passes(r, mode))
            continue;
        RecordListModel::Row row;
        row.id = r.iid;
        row.cells = decoder.cells(r);
        row.text = r.nlocked == 1 ? kLockedText : RecordListModel::kBlack;
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace quarvel
