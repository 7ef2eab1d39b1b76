#include "list/RecordListModel.h"

#include <QByteArray>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>

namespace quarvel {

namespace {

const QString kTotals = QStringLiteral("合计");

// A cell read as a decimal number the way the C library reads it: leading
// blanks skipped, as many characters as form a number, 0 when none do.
double leadingNumber(const QString &text)
{
    const QByteArray latin = text.trimmed().toLatin1();
    return std::strtod(latin.constData(), nullptr);
}

// How many decimals a total was written with: 0, 1, or 2 for "more than one".
int decimalsOf(const QString &text)
{
    const qsizetype dot = text.indexOf(u'.');
    if (dot < 0)
        return 0;
    int digits = 0;
    for (qsizetype i = dot + 1; i < text.size() && text.at(i).isDigit(); ++i)
        ++digits;
    return digits <= 1 ? 1 : 2;
}

} // namespace

RecordListModel::RecordListModel(QObject *parent) : QAbstractTableModel(parent)
{
}

void RecordListModel::setColumns(const QList<ListColumn> &columns)
{
    beginResetModel();
    columns_ = columns;
    for (Row &r : rows_)
        while (r.cells.size() < columns_.size())
            r.cells.append(QString());
    endResetModel();
}

bool RecordListModel::isTotals(std::size_t row) const
{
    return totalsRow_ && row + 1 == rows_.size();
}

bool RecordListModel::hasTotalsRow() const
{
    return totalsRow_ && !rows_.empty();
}

void RecordListModel::applyNumber(int row)
{
    if (!numbering_ || columns_.isEmpty())
        return;
    Row &r = rows_[static_cast<std::size_t>(row)];
    if (r.cells.isEmpty())
        r.cells.append(QString());
    r.cells[0] = isTotals(static_cast<std::size_t>(row)) ? kTotals : QString::number(row + 1);
}

void RecordListModel::renumberFrom(int row)
{
    if (!numbering_)
        return;
    for (int i = row; i < rowCount(); ++i)
        applyNumber(i);
    if (row < rowCount())
        emit dataChanged(index(row, 0), index(rowCount() - 1, 0), {Qt::DisplayRole});
}

void RecordListModel::setRows(std::vector<Row> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    for (Row &r : rows_)
        while (r.cells.size() < columns_.size())
            r.cells.append(QString());
    for (int i = 0; i < rowCount(); ++i)
        applyNumber(i);
    endResetModel();
}

int RecordListModel::insertRow(int at, Row row)
{
    at = std::clamp(at, 0, rowCount());
    while (row.cells.size() < columns_.size())
        row.cells.append(QString());
    beginInsertRows(QModelIndex(), at, at);
    rows_.insert(rows_.begin() + at, std::move(row));
    endInsertRows();
    renumberFrom(at);
    return at;
}

void RecordListModel::removeRowAt(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
    renumberFrom(row);
}

void RecordListModel::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columns_.size())
        return;
    rows_[static_cast<std::size_t>(row)].cells[column] = text;
    emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
}

void RecordListModel::setRowCells(int row, const QStringList &cells)
{
    if (row < 0 || row >= rowCount())
        return;
    Row &r = rows_[static_cast<std::size_t>(row)];
    r.cells = cells;
    while (r.cells.size() < columns_.size())
        r.cells.append(QString());
    applyNumber(row);
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

QString RecordListModel::cell(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= rows_[static_cast<std::size_t>(row)].cells.size())
        return {};
    return rows_[static_cast<std::size_t>(row)].cells.at(column);
}

int RecordListModel::GetRowId(int row) const
{
    return row >= 0 && row < rowCount() ? rows_[static_cast<std::size_t>(row)].id : -1;
}

void RecordListModel::SetRowId(int row, int id)
{
    if (row >= 0 && row < rowCount())
        rows_[static_cast<std::size_t>(row)].id = id;
}

int RecordListModel::FindRowById(int id) const
{
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].id == id)
            return static_cast<int>(i);
    return -1;
}

void RecordListModel::SetRowColors(int row, unsigned text, unsigned background)
{
    if (row < 0 || row >= rowCount())
        return;
    rows_[static_cast<std::size_t>(row)].text = text;
    rows_[static_cast<std::size_t>(row)].background = background;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1), {TextColorRole, BackgroundColorRole});
}

void RecordListModel::sortByHeader(int column)
{
    if (sortRunning_ || !sorting_ || column < 0 || column >= columns_.size() || (numbering_ && column == 0))
        return;
    sortAscending_ = column == sortColumn_ ? !sortAscending_ : true;
    sortColumn_ = column;
    const int total = rowCount();
    const bool large = total > kLargeSort;
    sortRunning_ = true;
    if (large)
        emit largeSort(0, total);

    // The totals row takes no part: it is put back last whatever the direction.
    const std::size_t sortable = rows_.size() - (hasTotalsRow() ? 1 : 0);
    std::vector<int> order(sortable);
    std::iota(order.begin(), order.end(), 0);
    const bool numeric = columns_.at(column).align == ListColumn::Align::Right;
    if (numeric) {
        std::vector<double> keys(sortable);
        for (std::size_t i = 0; i < sortable; ++i)
            keys[i] = leadingNumber(rows_[i].cells.value(column));
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return sortAscending_ ? keys[std::size_t(a)] < keys[std::size_t(b)]
                                  : keys[std::size_t(b)] < keys[std::size_t(a)];
        });
    } else {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const int c = QString::compare(rows_[std::size_t(a)].cells.value(column),
                                           rows_[std::size_t(b)].cells.value(column), Qt::CaseInsensitive);
            return sortAscending_ ? c < 0 : c > 0;
        });
    }

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newPosition(rows_.size());
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        newPosition[std::size_t(order[i])] = static_cast<int>(i);
        sorted.push_back(std::move(rows_[std::size_t(order[i])]));
    }
    for (std::size_t i = sortable; i < rows_.size(); ++i) {
        newPosition[i] = static_cast<int>(i);
        sorted.push_back(std::move(rows_[i]));
    }
    rows_ = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &i : before)
        after.append(index(newPosition[std::size_t(i.row())], i.column()));
    changePersistentIndexList(before, after);
    for (int i = 0; i < rowCount(); ++i)
        applyNumber(i);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);

    if (large)
        emit largeSort(1, total);
    sortRunning_ = false;
}

void RecordListModel::removeRowAdjustingTotals(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    const int last = rowCount() - 1;
    if (row != last && rows_[std::size_t(last)].cells.value(0).startsWith(kTotals)) {
        int adjusted = 0;
        for (int column = 1; column <= 10 && column < columns_.size() && adjusted < 4; ++column) {
            const QString total = rows_[std::size_t(last)].cells.at(column);
            if (total.isEmpty())
                continue;
            const int decimals = decimalsOf(total);
            double value = leadingNumber(total) - leadingNumber(rows_[std::size_t(row)].cells.value(column));
            // Rounding noise must not show as "-0.00" once the last row is gone.
            if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals))
                value = 0;
            setCell(last, column,
                    decimals == 0 ? QString::number(static_cast<long long>(std::llround(value)))
                                  : QString::number(value, 'f', decimals));
            ++adjusted;
        }
    }
    removeRowAt(row);
}

ListSnapshot RecordListModel::snapshot(const QString &title) const
{
    ListSnapshot s;
    s.title = title;
    for (const ListColumn &c : columns_)
        s.columns.append({c.caption, c.width, c.align == ListColumn::Align::Right});
    s.rows.reserve(rowCount());
    for (const Row &r : rows_)
        s.rows.append(r.cells);
    return s;
}

int RecordListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RecordListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant RecordListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row &r = rows_[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return r.cells.value(index.column());
    case TextColorRole:
        return r.text;
    case BackgroundColorRole:
        return r.background;
    case Qt::TextAlignmentRole:
        return headerData(index.column(), Qt::Horizontal, role);
    case Qt::CheckStateRole:
        if (checkable_ && index.column() == 0)
            return r.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    case RowIdRole:
        return r.id;
    default:
        return {};
    }
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size())
        return {};
    if (role == Qt::DisplayRole)
        return columns_.at(section).caption;
    if (role == Qt::TextAlignmentRole) {
        const ListColumn::Align a = columns_.at(section).align;
        const Qt::Alignment h = a == ListColumn::Align::Right    ? Qt::AlignRight
                                : a == ListColumn::Align::Center ? Qt::AlignHCenter
                                                                 : Qt::AlignLeft;
        return QVariant::fromValue(Qt::Alignment(h | Qt::AlignVCenter));
    }
    return {};
}

Qt::ItemFlags RecordListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (checkable_ && index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

bool RecordListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!checkable_ || role != Qt::CheckStateRole || index.column() != 0 || index.row() >= rowCount())
        return false;
    rows_[std::size_t(index.row())].checked = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

} // namespace quarvel
