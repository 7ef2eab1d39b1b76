#include "excel/ImportHeader.h"

#include "excel/HeaderText.h"

#include <algorithm>

namespace quarvel {

namespace {

// How strongly a header names a field: the operator's map, the field's own
// header, then its other headers in their order.
constexpr int kMapped = 0;
constexpr int kOwnHeader = 1;
constexpr int kFirstOther = 2;
constexpr int kNoRank = 1 << 20;

} // namespace

ImportHeader::ImportHeader(const QList<ImportColumn> &known, const QList<SheetCell> &row, const ColumnMap &map)
    : known_(known), columns_(known.size(), 0), ranks_(known.size(), kNoRank),
      units_(known.size(), SheetValue::Unit::None)
{
    QList<QStringList> others;
    for (const ImportColumn &c : known) {
        captions_ << c.caption();
        QStringList names;
        for (const QString &other : c.synonymList())
            names << HeaderText::Name(other);
        others << names;
    }
    for (qsizetype c = 0; c < row.size(); ++c)
        texts_ << row.at(c).importText().trimmed();
    while (!texts_.isEmpty() && texts_.last().isEmpty())
        texts_.removeLast();
    for (int c = 0; c < int(texts_.size()); ++c) {
        const HeaderText::Key key = HeaderText::Read(texts_.at(c));
        if (key.name.isEmpty())
            continue;
        int field = -1;
        int rank = kNoRank;
        if (const std::optional<QString> mapped = map.fieldOf(key.name)) {
            for (int f = 0; f < int(known.size()) && !mapped->isEmpty(); ++f)
                if (known.at(f).caption() == *mapped)
                    field = f;
            rank = kMapped;
        } else {
            for (int f = 0; f < int(known.size()) && field < 0; ++f) {
                if (HeaderText::Name(known.at(f).caption()) == key.name) {
                    field = f;
                    rank = kOwnHeader;
                } else if (const qsizetype at = others.at(f).indexOf(key.name); at >= 0) {
                    field = f;
                    rank = kFirstOther + int(at);
                }
            }
        }
        if (field < 0)
            continue;
        const int before = columns_.at(field);
        if (rank > ranks_.at(field)) {
            repeats_.append({field, c + 1, before});
            continue;
        }
        if (before > 0)
            repeats_.append({field, before, c + 1});
        assign(field, c + 1, rank);
        units_[field] = key.unit;
    }
    // A column passed over for one that was passed over later names the final column.
    for (Repeat &r : repeats_)
        r.usedColumn = columns_.at(r.field);
}

void ImportHeader::assign(int field, int column, int rank)
{
    columns_[field] = column;
    ranks_[field] = rank;
}

int ImportHeader::lastColumn() const
{
    return columns_.isEmpty() ? 0 : *std::max_element(columns_.cbegin(), columns_.cend());
}

int ImportHeader::recognized() const
{
    return int(std::count_if(columns_.cbegin(), columns_.cend(), [](int c) { return c > 0; }));
}

QStringList ImportHeader::missing() const
{
    QStringList out;
    for (int f = 0; f < int(known_.size()); ++f)
        if (known_.at(f).required && !has(f))
            out << caption(f);
    return out;
}

int ImportHeader::fieldOfColumn(int column) const
{
    const qsizetype at = columns_.indexOf(column);
    return at < 0 ? -1 : int(at);
}

QList<int> ImportHeader::unused() const
{
    QList<int> out;
    for (int c = 1; c <= int(texts_.size()); ++c)
        if (!texts_.at(c - 1).isEmpty() && fieldOfColumn(c) < 0)
            out << c;
    return out;
}

QString ImportHeader::layout() const
{
    QStringList names;
    for (const QString &t : texts_)
        names << HeaderText::Name(t);
    return names.join(u'\t');
}

} // namespace quarvel
