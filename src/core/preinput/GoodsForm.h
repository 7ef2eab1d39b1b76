#pragma once

#include "storage/GoodsRecord.h"

#include <QList>
#include <QString>

#include <vector>

namespace quarvel {

class ClientContext;
class Prompter;

// "多件物品信息管理": the goods lines of one shipment as a list of rows that
// are added, modified and deleted, then handed back on OK. For a stored
// shipment OK also rewrites its lines in GoodsFile (and the count in its
// record); for a new one the page writes them when the record is first saved.
class GoodsForm {
public:
    struct Row {
        int identity = 0; // positive and unique within the list
        QString name;
        QString quantity; // "%d"
        QString price;    // "%.2f"
    };
    struct Entry {
        QString name;
        QString quantity = QStringLiteral("1");
        QString price = QStringLiteral("1.00");
    };

    // `recordId` is the page's working iid (-1 for a record not yet saved).
    GoodsForm(std::vector<GoodsRecord> &lines, int recordId, ClientContext &context, Prompter &prompter);

    Entry entry;

    const QList<Row> &rows() const { return rows_; }
    int selectedIdentity() const { return selected_; }
    bool rowSelected() const { return selected_ > 0; }
    int changes() const { return changes_; }
    // "添加&S", or "修改&S" while a row is selected.
    QString addCaption() const { return rowSelected() ? QStringLiteral("修改&S") : QStringLiteral("添加&S"); }

    // "刷新原值" (and opening): the rows of the page's lines, edits dropped.
    void Fill();
    // A double-click on a row: its values go into the entry.
    void Select(int row);
    // "添加&S" / "修改&S"; false when the name was refused.
    bool AddOrModify();
    // "删除": removes the selected row.
    bool Delete();
    // "确认数据&C": hands the rows back as lines when anything changed; false
    // (with the message shown) when the goods file can take no more lines.
    bool Ok();

    static QStringList headers();

private:
    void resetEntry();
    int rowOf(int identity) const;
    int newIdentity();

    std::vector<GoodsRecord> &lines_;
    int recordId_;
    ClientContext &context_;
    Prompter &prompter_;
    QList<Row> rows_;
    int selected_ = -1;
    int changes_ = 0;
    int nextIdentity_ = 1; // 0: the ids are used up, free identities are searched
};

} // namespace quarvel
