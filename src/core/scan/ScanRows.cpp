#include "scan/ScanRows.h"

#include "scan/CheckValues.h"
#include "storage/CheckFile.h"
#include "text/Gbk.h"

namespace quarvel {

namespace {

constexpr int kColumns = 18;

} // namespace

RecordListModel::Row ScanRows::Row(const CheckRecord &scan, bool wholeSignTime)
{
    RecordListModel::Row row;
    row.id = scan.iid;
    const QString signTime = Gbk::field(scan.csigntime);
    row.cells = QStringList{QString(),
                            Gbk::field(scan.cnum),
                            Gbk::field(scan.cnext),
                            Gbk::field(scan.cdate),
                            Gbk::field(scan.cplace),
                            Gbk::field(scan.cinfo),
                            Gbk::field(scan.cplaceen),
                            Gbk::field(scan.cinfoen),
                            CheckValues::KindName(scan.nkind),
                            Gbk::field(scan.csigner),
                            wholeSignTime ? signTime : signTime.left(16)};
    while (row.cells.size() < kColumns)
        row.cells.append(QString());
    return row;
}

std::vector<RecordListModel::Row> ScanRows::Build(const CheckFile &file)
{
    std::vector<RecordListModel::Row> rows;
    rows.reserve(static_cast<std::size_t>(file.GetCount()));
    for (int i = 0; i < file.GetCount(); ++i)
        rows.push_back(Row(*file.At(i), false));
    return rows;
}

} // namespace quarvel
