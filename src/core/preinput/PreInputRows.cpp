#include "preinput/PreInputRows.h"

#include "preinput/PreInputValues.h"
#include "storage/PreInputFile.h"
#include "text/Gbk.h"

namespace quarvel {

namespace {

QString choice(const QStringList &texts, int index)
{
    return index >= 0 && index < texts.size() ? texts.at(index) : QString();
}

} // namespace

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
    const RecordDate date = r.ddate;
    QStringList cells;
    cells.reserve(17);
    cells << QString() << (r.nmarked == 1 ? QStringLiteral("√") : QString())
          << QString::asprintf("%d-%02d-%02d", int(date.year), int(date.month), int(date.day)) << Gbk::field(r.cnum)
          << choice(PreInputValues::itemTypes(), r.nitemtype) << QString::number(int(r.npieces))
          << QString::asprintf("%.3f", double(r.fweight)) << QString::asprintf("%.2f", double(r.ffee))
          << Gbk::field(r.cdes) << Gbk::field(r.cemskind) << choice(PreInputValues::payWays(), r.npayway)
          << Gbk::field(r.csender) << Gbk::field(r.cdepart) << Gbk::field(r.creceiver) << Gbk::field(r.cmark)
          << Gbk::field(r.cgoods) << Gbk::field(r.cremark);
    return cells;
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
    for (int i = 0; i < file.GetCount(); ++i) {
        const PreInputRecord *r = file.At(i);
        if (Passes(*r, mode))
            rows.push_back(Row(*r));
    }
    return rows;
}

} // namespace quarvel
