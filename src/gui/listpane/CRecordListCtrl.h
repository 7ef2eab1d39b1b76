#pragma once

#include "list/RecordListModel.h"

#include <QStringList>
#include <QTableView>

namespace quarvel {

class Prompter;

// The list of a page: a table over a RecordListModel with row colours, sorting
// by a click on a header, and a right-click menu of up to 8 page entries whose
// third entry takes the row out of the list.
class CRecordListCtrl : public QTableView {
    Q_OBJECT

public:
    static constexpr int kRemoveEntry = 2;

    CRecordListCtrl(Prompter &prompter, QWidget *parent = nullptr);

    RecordListModel &list() { return model_; }
    const RecordListModel &list() const { return model_; }
    // Applies the model's column widths to the view.
    void applyColumnWidths();
    void SetMenuItems(const QStringList &items);
    const QStringList &menuItems() const { return menuItems_; }
    void setRemoveOnDoubleClick(bool on) { removeOnDoubleClick_ = on; }
    // The rows selected, in ascending order.
    QList<int> selectedRowIndexes() const;
    // Asks, then takes the row out of the list (the record is not touched).
    bool removeRowAsking(int row);
    // Runs the right-click menu entry for a row as if it had been chosen.
    void chooseMenuEntry(int entry, int row);

signals:
    void rowClicked(int row);
    void rowDoubleClicked(int row);
    void menuChosen(int entry, int recordId);
    void rowRemoved(int row);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    Prompter &prompter_;
    RecordListModel model_;
    QStringList menuItems_;
    bool removeOnDoubleClick_ = false;
};

} // namespace quarvel
