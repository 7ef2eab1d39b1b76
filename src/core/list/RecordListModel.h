#pragma once

#include "list/ListColumn.h"
#include "list/ListSnapshot.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

#include <vector>

namespace quarvel {

// The rows of a record list: per row the id of the record it shows, its cell
// texts and its colours (RGB). Optional row numbering in column 0 and a totals
// row that sorting keeps last. Sorting is numeric for right-aligned columns and
// case-insensitive otherwise. Built for lists of 100,000 rows: rows live in one
// vector, and a page fills them in one call.
class RecordListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr unsigned kWhite = 0xFFFFFF;
    static constexpr unsigned kBlack = 0x000000;
    static constexpr int kLargeSort = 5000;
    // Colours are plain RGB values (0xRRGGBB); the view turns them into brushes.
    enum Role { RowIdRole = Qt::UserRole, TextColorRole, BackgroundColorRole };

    struct Row {
        int id = -1;
        QStringList cells;
        unsigned text = kBlack;
        unsigned background = kWhite;
        bool checked = false;
    };

    explicit RecordListModel(QObject *parent = nullptr);

    void setColumns(const QList<ListColumn> &columns);
    const QList<ListColumn> &columns() const { return columns_; }
    void setNumbering(bool on) { numbering_ = on; }
    bool numbering() const { return numbering_; }
    void setTotalsRow(bool on) { totalsRow_ = on; }
    bool hasTotalsRow() const;
    void setSorting(bool on) { sorting_ = on; }
    void setCheckable(bool on) { checkable_ = on; }

    // Replaces every row at once (numbering is applied to column 0).
    void setRows(std::vector<Row> rows);
    void clear() { setRows({}); }
    // Inserts one row; returns its index.
    int insertRow(int at, Row row);
    int appendRow(Row row) { return insertRow(rowCount(), std::move(row)); }
    void removeRowAt(int row);
    void setCell(int row, int column, const QString &text);
    void setRowCells(int row, const QStringList &cells);
    const Row &row(int index) const { return rows_[static_cast<std::size_t>(index)]; }
    QString cell(int row, int column) const;

    int GetRowId(int row) const;
    void SetRowId(int row, int id);
    int FindRowById(int id) const;
    void SetRowColors(int row, unsigned text, unsigned background);

    // A click on a header: the same column again reverses the direction,
    // another column sorts ascending. Ignored for column 0 while numbering.
    void sortByHeader(int column);
    int sortColumn() const { return sortColumn_; }
    bool sortAscending() const { return sortAscending_; }

    // Takes a row out of the list (not the record): adjusts the totals row
    // when there is one, then renumbers. The caller has asked the question.
    void removeRowAdjustingTotals(int row);

    ListSnapshot snapshot(const QString &title) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

signals:
    // Before (phase 0) and after (phase 1) sorting more than 5000 rows.
    void largeSort(int phase, int rows);

private:
    void renumberFrom(int row);
    void applyNumber(int row);
    bool isTotals(std::size_t row) const;

    QList<ListColumn> columns_;
    std::vector<Row> rows_;
    bool numbering_ = true;
    bool totalsRow_ = false;
    bool sorting_ = true;
    bool checkable_ = false;
    bool sortRunning_ = false;
    int sortColumn_ = -1;
    bool sortAscending_ = true;
};

} // namespace quarvel
