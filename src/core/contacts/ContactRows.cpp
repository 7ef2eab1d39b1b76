#include "contacts/ContactRows.h"

#include "storage/ContactFile.h"
#include "text/Gbk.h"

namespace quarvel {

QStringList ContactRows::Cells(const ContactRecord &r)
{
    return {QString(),
            Gbk::field(r.ccode),
            Gbk::field(r.cname),
            Gbk::field(r.ccorp),
            Gbk::field(r.caddr),
            Gbk::field(r.cphone),
            Gbk::field(r.czip),
            Gbk::field(r.ccity),
            Gbk::field(r.cprov),
            Gbk::field(r.ccountry),
            Gbk::field(r.csms),
            Gbk::field(r.cmail),
            Gbk::field(r.cremark)};
}

RecordListModel::Row ContactRows::Row(const ContactRecord &record)
{
    RecordListModel::Row row;
    row.id = record.iid;
    row.cells = Cells(record);
    return row;
}

std::vector<RecordListModel::Row> ContactRows::Build(const ContactFile &file)
{
    std::vector<RecordListModel::Row> rows;
    rows.reserve(static_cast<std::size_t>(file.GetCount()));
    for (int i = 0; i < file.GetCount(); ++i)
        rows.push_back(Row(*file.At(i)));
    return rows;
}

} // namespace quarvel
