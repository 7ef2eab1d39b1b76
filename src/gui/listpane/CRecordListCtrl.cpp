#include "listpane/CRecordListCtrl.h"

#include <algorithm>

#include "app/Prompter.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QStyledItemDelegate>

namespace quarvel {

namespace {

// Turns the model's RGB row colours into the brushes of each cell.
class RowColorDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const unsigned text = index.data(RecordListModel::TextColorRole).toUInt();
        const unsigned back = index.data(RecordListModel::BackgroundColorRole).toUInt();
        option->palette.setColor(QPalette::Text, QColor::fromRgb(text));
        option->backgroundBrush = QBrush(QColor::fromRgb(back));
    }
};

} // namespace

CRecordListCtrl::CRecordListCtrl(Prompter &prompter, QWidget *parent) : QTableView(parent), prompter_(prompter)
{
    setModel(&model_);
    setItemDelegate(new RowColorDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setStretchLastSection(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (QApplication::mouseButtons() & ~Qt::LeftButton)
            return;
        model_.sortByHeader(column);
    });
    connect(&model_, &QAbstractItemModel::modelReset, this, &CRecordListCtrl::applyColumnWidths);
}

void CRecordListCtrl::applyColumnWidths()
{
    // The given widths are for the original font; a waybill number column
    // always fits a whole number (13 characters and a spare one).
    const int number = fontMetrics().horizontalAdvance(QStringLiteral("DE90123000101W")) + 12;
    for (int i = 0; i < model_.columns().size(); ++i) {
        const ListColumn &c = model_.columns().at(i);
        setColumnWidth(i, c.caption.contains(QStringLiteral("单号")) ? std::max(c.width, number) : c.width);
    }
}

void CRecordListCtrl::SetMenuItems(const QStringList &items)
{
    menuItems_ = items.mid(0, 8);
}

QList<int> CRecordListCtrl::selectedRowIndexes() const
{
    QList<int> rows;
    for (const QModelIndex &i : selectionModel()->selectedRows())
        rows.append(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool CRecordListCtrl::removeRowAsking(int row)
{
    if (row < 0 || row >= model_.rowCount())
        return false;
    if (!prompter_.ask(QString(), QStringLiteral("移去所选列表项(%1)，请确认！").arg(model_.cell(row, 0))))
        return false;
    model_.removeRowAdjustingTotals(row);
    emit rowRemoved(row);
    return true;
}

void CRecordListCtrl::chooseMenuEntry(int entry, int row)
{
    if (entry == kRemoveEntry)
        removeRowAsking(row);
    else
        emit menuChosen(entry, model_.GetRowId(row));
}

void CRecordListCtrl::mousePressEvent(QMouseEvent *event)
{
    QTableView::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid())
        emit rowClicked(index.row());
}

void CRecordListCtrl::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !index.isValid())
        return;
    if (removeOnDoubleClick_)
        removeRowAsking(index.row());
    else
        emit rowDoubleClicked(index.row());
}

void CRecordListCtrl::contextMenuEvent(QContextMenuEvent *event)
{
    const QModelIndex index = indexAt(event->pos());
    if (!index.isValid())
        return;
    selectRow(index.row());
    if (menuItems_.isEmpty() || model_.GetRowId(index.row()) <= 0)
        return;
    QMenu menu(this);
    for (int i = 0; i < menuItems_.size(); ++i)
        menu.addAction(menuItems_.at(i))->setData(i);
    if (QAction *chosen = menu.exec(event->globalPos()))
        chooseMenuEntry(chosen->data().toInt(), index.row());
}

} // namespace quarvel
