#pragma once

#include "list/RecordListModel.h"
#include "storage/ContactRecord.h"

#include <QStringList>

#include <vector>

namespace quarvel {

class ContactFile;

// The rows of the address-book list: one per contact in file order.
class ContactRows {
public:
    // The 13 cells; column 0 (the row number) is left to the list.
    static QStringList Cells(const ContactRecord &record);
    static RecordListModel::Row Row(const ContactRecord &record);
    static std::vector<RecordListModel::Row> Build(const ContactFile &file);
};

} // namespace quarvel
