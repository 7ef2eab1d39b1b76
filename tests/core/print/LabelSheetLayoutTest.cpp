#include "print/LabelSheetLayout.h"
#include "PrintTestSupport.h"
#include "app/ShippedData.h"
#include "print/PrintTemplates.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <optional>

using namespace quarvel;
using printtest::gbk;

namespace {

QByteArray keys(int across, int down, int columns, int columnGap, int rows, int rowGap)
{
    return gbk(QStringLiteral("横向标签个数=%1\r\n纵向标签个数=%2\r\n横向每标签占有栏数=%3\r\n标签横向间隔栏数=%4\r\n"
                              "纵向每标签占有行数=%5\r\n标签纵向间隔行数=%6\r\n")
                   .arg(across)
                   .arg(down)
                   .arg(columns)
                   .arg(columnGap)
                   .arg(rows)
                   .arg(rowGap)
                   .toUtf8()
                   .constData());
}

QByteArray listOf(const char *lines)
{
    return gbk("<列表定义开始>\r\n") + gbk(lines) + gbk("\r\n<列表定义结束>\r\n");
}

PrintTemplate labelTemplate(const QByteArray &definition, const QByteArray &spreadsheet = printtest::workbook())
{
    PrintTemplate t(TemplateKind::Label, QStringLiteral("标签"));
    t.SetContent(definition, spreadsheet);
    return t;
}

LabelSheetLayout built(const QByteArray &definition)
{
    LabelSheetLayout layout;
    EXPECT_TRUE(layout.Build(labelTemplate(definition)));
    return layout;
}

struct Cell {
    int column;
    int row;
    bool operator==(const Cell &o) const { return column == o.column && row == o.row; }
};

std::optional<Cell> at(const LabelSheetLayout &layout, int index, int label)
{
    Cell c{};
    if (!layout.PositionOf(index, label, c.column, c.row))
        return std::nullopt;
    return c;
}

std::optional<Cell> named(const LabelSheetLayout &layout, const char *name, int label)
{
    Cell c{};
    if (!layout.PositionOfName(gbk(name), label, c.column, c.row))
        return std::nullopt;
    return c;
}

} // namespace

TEST(LabelSheetTiling, LabelsGoRowByRowShiftedByWholeLabelsAndGaps)
{
    const LabelSheetLayout layout = built(keys(2, 5, 4, 1, 10, 2) + listOf("收件人=B3\r\n内单号39码=A1"));
    ASSERT_TRUE(layout.IsValid());
    EXPECT_EQ(layout.LabelsPerSheet(), 10);
    EXPECT_EQ(at(layout, FieldVocabulary::Receiver, 0), (Cell{2, 3}));
    EXPECT_EQ(at(layout, FieldVocabulary::Receiver, 1), (Cell{7, 3})) << "second label of the first band";
    EXPECT_EQ(at(layout, FieldVocabulary::Receiver, 3), (Cell{7, 15}));
    EXPECT_EQ(at(layout, FieldVocabulary::Receiver, 9), (Cell{7, 51})) << "last label of the sheet";
    EXPECT_EQ(named(layout, "内单号39码", 4), (Cell{1, 25}));
    EXPECT_FALSE(at(layout, FieldVocabulary::Receiver, 10)) << "there is no eleventh label on the sheet";
    EXPECT_FALSE(at(layout, FieldVocabulary::Receiver, -1));
}

TEST(LabelSheetTiling, SheetsNeededRoundUp)
{
    const LabelSheetLayout layout = built(keys(2, 5, 4, 1, 10, 2));
    EXPECT_EQ(layout.SheetsFor(0), 0);
    EXPECT_EQ(layout.SheetsFor(7), 1);
    EXPECT_EQ(layout.SheetsFor(10), 1);
    EXPECT_EQ(layout.SheetsFor(11), 2);
    EXPECT_EQ(layout.SheetsFor(21), 3);
    const LabelSheetLayout single = built(QByteArray());
    EXPECT_EQ(single.LabelsPerSheet(), 1);
    EXPECT_EQ(single.SheetsFor(3), 3);
}

TEST(LabelSheetKeys, ValuesOutsideTheirRangesKeepTheDefaults)
{
    const LabelSheetLayout three = built(keys(3, 101, 1, 0, 0, 0));
    EXPECT_EQ(three.labelsAcross(), 1) << "only two labels across are accepted";
    EXPECT_EQ(three.labelsDown(), 1);
    EXPECT_EQ(three.columnsPerLabel(), 1);
    EXPECT_EQ(three.rowsPerLabel(), 1);
    EXPECT_EQ(three.rowGap(), 0);
    EXPECT_EQ(three.columnGap(), 0);

    const LabelSheetLayout hundred = built(keys(1, 100, 2, 1, 2, 1));
    EXPECT_EQ(hundred.labelsAcross(), 1);
    EXPECT_EQ(hundred.labelsDown(), 100);
    EXPECT_EQ(hundred.LabelsPerSheet(), 100);
    EXPECT_EQ(hundred.columnsPerLabel(), 2);
    EXPECT_EQ(hundred.rowsPerLabel(), 2);
    EXPECT_EQ(hundred.rowGap(), 1);
    EXPECT_EQ(hundred.columnGap(), 1);

    const LabelSheetLayout negative = built(keys(-2, -5, -4, -1, -10, -2));
    EXPECT_EQ(negative.LabelsPerSheet(), 1);
    EXPECT_EQ(negative.rowsPerLabel(), 1);
    EXPECT_EQ(negative.rowGap(), 0);
}

TEST(LabelSheetKeys, AbsentAndCommentedKeysKeepTheDefaults)
{
    const LabelSheetLayout commented =
        built(gbk("#纵向标签个数=5\r\n纵向标签个数=7\r\n横向标签个数 = 2\r\n标签纵向间隔行数\r\n"));
    EXPECT_EQ(commented.labelsDown(), 1) << "the first occurrence is commented out";
    EXPECT_EQ(commented.labelsAcross(), 2) << "blanks around the = are read";
    EXPECT_EQ(commented.rowGap(), 0) << "a key without a number";
    EXPECT_EQ(commented.LabelsPerSheet(), 2);
}

TEST(LabelSheetKeys, HugeKeysGiveNoPositionInsteadOfAWrappedOne)
{
    const LabelSheetLayout layout = built(keys(2, 3, 2147483647, 0, 2147483647, 5) + listOf("收件人=B3"));
    EXPECT_EQ(at(layout, FieldVocabulary::Receiver, 0), (Cell{2, 3}));
    EXPECT_FALSE(at(layout, FieldVocabulary::Receiver, 1)) << "the second label starts beyond the last column";
    EXPECT_FALSE(at(layout, FieldVocabulary::Receiver, 2)) << "the second band starts beyond the last row";

    const LabelSheetLayout lastRow = built(keys(1, 2, 1, 0, 65530, 0) + listOf("收件人=B6"));
    EXPECT_EQ(at(lastRow, FieldVocabulary::Receiver, 1), (Cell{2, 65536}));
    const LabelSheetLayout beyond = built(keys(1, 2, 1, 0, 65530, 0) + listOf("收件人=B7"));
    EXPECT_FALSE(at(beyond, FieldVocabulary::Receiver, 1));
}

TEST(LabelSheetFields, AFieldTheListDoesNotNameHasNoPositionOnAnyLabel)
{
    const LabelSheetLayout layout = built(keys(2, 5, 4, 1, 10, 2) + listOf("发件人=B8\r\n网络渠道=C8"));
    for (int label = 0; label < layout.LabelsPerSheet(); ++label) {
        EXPECT_FALSE(at(layout, FieldVocabulary::Receiver, label));
        EXPECT_TRUE(at(layout, FieldVocabulary::Sender, label));
    }
    EXPECT_FALSE(at(layout, FieldVocabulary::kCount, 0)) << "index 101 is outside the vocabulary";
    EXPECT_FALSE(at(layout, -1, 0));
    EXPECT_EQ(named(layout, "网络渠道", 1), (Cell{8, 8}));
    EXPECT_FALSE(named(layout, "内单号39码", 0));
    EXPECT_FALSE(named(layout, "网络渠", 0)) << "names are matched whole";
}

TEST(LabelSheetBuild, ATemplateWithoutSpreadsheetLeavesTheLayoutAsItWas)
{
    LabelSheetLayout layout;
    EXPECT_FALSE(layout.IsValid());
    EXPECT_FALSE(at(layout, FieldVocabulary::Receiver, 0));
    EXPECT_EQ(layout.LabelsPerSheet(), 1);

    ASSERT_TRUE(layout.Build(labelTemplate(keys(2, 5, 4, 1, 10, 2) + listOf("收件人=B3"))));
    EXPECT_FALSE(layout.Build(labelTemplate(keys(1, 2, 2, 0, 2, 0) + listOf("收件人=C4"), QByteArray())));
    EXPECT_EQ(layout.LabelsPerSheet(), 10);
    EXPECT_EQ(at(layout, FieldVocabulary::Receiver, 0), (Cell{2, 3}));

    layout.Clear();
    EXPECT_FALSE(layout.IsValid());
    EXPECT_FALSE(at(layout, FieldVocabulary::Receiver, 0));
    EXPECT_EQ(layout.LabelsPerSheet(), 1);
}

TEST(LabelSheetBuild, ChoosingAnotherLabelTemplateRebuildsTheLayout)
{
    TempRoot root;
    root.write(QStringLiteral("LBL_默认标签.txt"), keys(2, 5, 4, 1, 10, 2) + listOf("收件人=B3\r\n发件人=B6"));
    root.write(QStringLiteral("LBL_默认标签.xls"), printtest::workbook());
    root.write(QStringLiteral("LBL_单列.txt"), keys(1, 4, 3, 0, 6, 1) + listOf("收件人=C2"));
    root.write(QStringLiteral("LBL_单列.xls"), printtest::workbook());
    PrintTemplates templates(root.path());
    EXPECT_FALSE(templates.labelLayout().IsValid());
    templates.LoadDefaultTemplates();
    ASSERT_TRUE(templates.labelLayout().IsValid());
    EXPECT_EQ(templates.labelLayout().LabelsPerSheet(), 10);

    ASSERT_TRUE(templates.ChooseTemplate(TemplateKind::Label, QStringLiteral("单列")));
    const LabelSheetLayout &layout = templates.labelLayout();
    EXPECT_EQ(layout.labelTemplate()->name(), QStringLiteral("单列"));
    EXPECT_EQ(layout.LabelsPerSheet(), 4);
    EXPECT_EQ(at(layout, FieldVocabulary::Receiver, 3), (Cell{3, 23}));
    EXPECT_FALSE(at(layout, FieldVocabulary::Sender, 0)) << "the previous template's cells are dropped";

    EXPECT_FALSE(templates.ChooseTemplate(TemplateKind::Label, QStringLiteral("没有")));
    EXPECT_EQ(templates.labelLayout().LabelsPerSheet(), 4) << "a failed choice keeps the layout";
}

TEST(LabelSheetBuild, TheShippedLabelTemplateTilesTwoByFive)
{
    PrintTemplates templates(ShippedData::Folder() + QStringLiteral("/DATA_MODEL"));
    templates.LoadDefaultTemplates();
    const LabelSheetLayout &layout = templates.labelLayout();
    ASSERT_TRUE(layout.IsValid());
    EXPECT_EQ(layout.LabelsPerSheet(), 10);
    EXPECT_EQ(named(layout, "内单号39码", 0), (Cell{2, 2}));
    EXPECT_EQ(named(layout, "内单号39码", 1), (Cell{9, 2}));
    EXPECT_EQ(named(layout, "内单号39码", 9), (Cell{9, 58}));
}
