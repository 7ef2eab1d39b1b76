#include "list/RecordListModel.h"
#include "list/ListTextExport.h"

#include <gtest/gtest.h>

using namespace quarvel;
using A = ListColumn::Align;

namespace {

RecordListModel::Row row(int id, QStringList cells)
{
    RecordListModel::Row r;
    r.id = id;
    r.cells = QStringList{QString()} + cells;
    return r;
}

QStringList column(const RecordListModel &m, int c)
{
    QStringList out;
    for (int i = 0; i < m.rowCount(); ++i)
        out << m.cell(i, c);
    return out;
}

class ListWithTotals : public ::testing::Test {
protected:
    void SetUp() override
    {
        model.setColumns({{QStringLiteral("序号"), 50, A::Left},
                          {QStringLiteral("运单号"), 100, A::Left},
                          {QStringLiteral("件"), 40, A::Right},
                          {QStringLiteral("重量"), 60, A::Right},
                          {QStringLiteral("金额"), 60, A::Right}});
        model.setTotalsRow(true);
        std::vector<RecordListModel::Row> rows;
        rows.push_back(
            row(1, {QStringLiteral("b10"), QStringLiteral("9"), QStringLiteral("1.5"), QStringLiteral("3.25")}));
        rows.push_back(
            row(2, {QStringLiteral("A9"), QStringLiteral("10"), QStringLiteral("2.0"), QStringLiteral("1.00")}));
        rows.push_back(
            row(3, {QStringLiteral("a10"), QStringLiteral("2"), QStringLiteral("0.5"), QStringLiteral("0.75")}));
        rows.push_back(row(-1, {QString(), QStringLiteral("21"), QStringLiteral("4.0"), QStringLiteral("5.00")}));
        model.setRows(std::move(rows));
    }
    RecordListModel model;
};

} // namespace

TEST_F(ListWithTotals, NumberingAndTotalsRowSurviveSortingBothWays)
{
    EXPECT_EQ(column(model, 0),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("合计")}));
    model.sortByHeader(2); // right-aligned: numeric, 2 < 9 < 10
    EXPECT_EQ(column(model, 2),
              (QStringList{QStringLiteral("2"), QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("21")}));
    model.sortByHeader(2); // same header again: descending, totals still last
    EXPECT_EQ(column(model, 2),
              (QStringList{QStringLiteral("10"), QStringLiteral("9"), QStringLiteral("2"), QStringLiteral("21")}));
    EXPECT_FALSE(model.sortAscending());
    EXPECT_EQ(column(model, 0),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("合计")}));
    EXPECT_EQ(model.GetRowId(0), 2);
    EXPECT_EQ(model.FindRowById(3), 2);

    model.sortByHeader(1); // left-aligned: text without case, "10" before "9"
    EXPECT_TRUE(model.sortAscending());
    EXPECT_EQ(column(model, 1),
              (QStringList{QStringLiteral("a10"), QStringLiteral("A9"), QStringLiteral("b10"), QString()}));
    model.sortByHeader(0); // the number column does not sort
    EXPECT_EQ(model.sortColumn(), 1);
}

TEST_F(ListWithTotals, RemovingRowsAdjustsTotalsKeepingTheirFormat)
{
    model.removeRowAdjustingTotals(0);
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.cell(2, 2), QStringLiteral("12"));
    EXPECT_EQ(model.cell(2, 3), QStringLiteral("2.5"));
    EXPECT_EQ(model.cell(2, 4), QStringLiteral("1.75"));
    EXPECT_EQ(model.cell(1, 0), QStringLiteral("2")) << "renumbered";
    model.removeRowAdjustingTotals(0);
    model.removeRowAdjustingTotals(0);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.cell(0, 0), QStringLiteral("合计"));
    EXPECT_EQ(model.cell(0, 2), QStringLiteral("0"));
    EXPECT_EQ(model.cell(0, 3), QStringLiteral("0.0"));
    EXPECT_EQ(model.cell(0, 4), QStringLiteral("0.00"));
}

TEST(RecordListModel, LargeSortsAreAnnouncedAndSelectionFollowsTheRows)
{
    RecordListModel model;
    model.setColumns({{QStringLiteral("序号"), 50, A::Left}, {QStringLiteral("值"), 60, A::Right}});
    std::vector<RecordListModel::Row> rows;
    for (int i = 0; i < 5001; ++i)
        rows.push_back(row(i + 1, {QString::number(5001 - i)}));
    model.setRows(std::move(rows));
    QList<QPair<int, int>> spy;
    QObject::connect(&model, &RecordListModel::largeSort, [&](int phase, int rows) { spy.append({phase, rows}); });
    const QPersistentModelIndex kept = model.index(0, 1); // value 5001, id 1
    model.sortByHeader(1);
    ASSERT_EQ(spy.size(), 2);
    EXPECT_EQ(spy.at(0).first, 0);
    EXPECT_EQ(spy.at(1).first, 1);
    EXPECT_EQ(spy.at(1).second, 5001);
    EXPECT_EQ(kept.row(), 5000);
    EXPECT_EQ(model.GetRowId(kept.row()), 1);
    EXPECT_EQ(model.cell(0, 1), QStringLiteral("1"));

    model.removeRowAt(model.rowCount() - 1);
    spy.clear();
    model.sortByHeader(1);
    EXPECT_EQ(spy.size(), 0) << "5000 rows are not a large sort";
}

TEST(ListTextExport, WritesUtf16WithCleanCells)
{
    ListSnapshot list;
    list.title = QStringLiteral("快件记录清单");
    list.columns = {{QStringLiteral("运单号"), 100, false}, {QStringLiteral("备注"), 80, false}};
    list.rows = {{QStringLiteral("0123"), QStringLiteral("a\tb\r\nc")}};
    const QByteArray bytes = ListTextExport::Render(list, QStringLiteral("2026-12-07 08:00:00"));
    ASSERT_TRUE(bytes.startsWith("\xFF\xFE"));
    const QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    EXPECT_EQ(text, QStringLiteral("快件记录清单\r\n2026-12-07 08:00:00\r\n\r\n运单号\t备注\t\r\n0123\ta b  c\t\r\n"));
}
