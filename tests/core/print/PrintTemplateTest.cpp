#include "print/PrintTemplate.h"
#include "PrintTestSupport.h"
#include "app/ShippedData.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

using namespace quarvel;
using printtest::gbk;

namespace {

PrintTemplate withDefinition(const QByteArray &text)
{
    PrintTemplate t(TemplateKind::Waybill, QStringLiteral("测试"));
    t.SetContent(text, printtest::workbook());
    return t;
}

QByteArray list(const char *lines)
{
    return gbk("<列表定义开始>\r\n") + gbk(lines) + gbk("\r\n<列表定义结束>\r\n");
}

struct Cell {
    int column;
    int row;
};

std::optional<Cell> find(const PrintTemplate &t, const char *name)
{
    Cell c{};
    if (!t.FindListCell(gbk(name), c.column, c.row))
        return std::nullopt;
    return c;
}

} // namespace

TEST(TemplateGrammar, CellReferencesOfOneAndTwoLetters)
{
    const PrintTemplate t = withDefinition(list("收件人=AB12\r\n发件人=B3\r\n内部单号=Z9\r\n件数=AA1"));
    ASSERT_TRUE(find(t, "收件人"));
    EXPECT_EQ(find(t, "收件人")->column, 28);
    EXPECT_EQ(find(t, "收件人")->row, 12);
    EXPECT_EQ(find(t, "发件人")->column, 2);
    EXPECT_EQ(find(t, "内部单号")->column, 26);
    EXPECT_EQ(find(t, "件数")->column, 27);
    EXPECT_EQ(t.listCells().size(), 4);
}

TEST(TemplateGrammar, RowZeroCommentsAndLinesWithoutCellAreIgnored)
{
    const PrintTemplate t =
        withDefinition(list("收件人=AB0\r\n#发件人=B3\r\n件数=b4\r\n标签=\r\n目的地 B5\r\n入重=4B\r\n=C3"));
    EXPECT_TRUE(t.listCells().isEmpty());
}

TEST(TemplateGrammar, QuotedNamesMayHoldEqualsAndBlanksBeforeEqualsAreDropped)
{
    const PrintTemplate t = withDefinition(list("\"a=b\"=C4\r\n收件人 \t =B5"));
    ASSERT_TRUE(find(t, "a=b"));
    EXPECT_EQ(find(t, "a=b")->column, 3);
    EXPECT_EQ(find(t, "a=b")->row, 4);
    ASSERT_TRUE(find(t, "收件人"));
    EXPECT_EQ(find(t, "收件人")->row, 5);
}

TEST(TemplateGrammar, AnUnclosedQuoteEndsTheListSection)
{
    const PrintTemplate t = withDefinition(list("发件人=A1\r\n\"未闭合=B2\r\n收件人=C3"));
    EXPECT_TRUE(find(t, "发件人"));
    EXPECT_FALSE(find(t, "收件人"));
    const PrintTemplate notFollowed = withDefinition(list("\"名称\" =B2\r\n收件人=C3"));
    EXPECT_TRUE(notFollowed.listCells().isEmpty());
}

TEST(TemplateGrammar, OnlyTheFirstListSectionAndOnlyWhenStartComesFirst)
{
    const PrintTemplate two = withDefinition(list("发件人=A1") + list("收件人=B2"));
    EXPECT_TRUE(find(two, "发件人"));
    EXPECT_FALSE(find(two, "收件人"));
    const PrintTemplate reversed = withDefinition(gbk("<列表定义结束>\r\n发件人=A1\r\n<列表定义开始>\r\n"));
    EXPECT_TRUE(reversed.listCells().isEmpty());
    const PrintTemplate outside = withDefinition(gbk("发件人=A1\r\n"));
    EXPECT_TRUE(outside.listCells().isEmpty());
}

TEST(TemplateGrammar, FindListCellTakesTheFirstOfExactlyThatName)
{
    const PrintTemplate t = withDefinition(list("收件人=A1\r\n收件人=B2\r\n收件人1=C3"));
    EXPECT_EQ(find(t, "收件人")->column, 1);
    EXPECT_EQ(find(t, "收件人1")->column, 3);
    EXPECT_FALSE(find(t, "收件"));
}

TEST(TemplateGrammar, GetNumberReadsTheFirstOccurrenceAndHonoursComments)
{
    const PrintTemplate t = withDefinition(
        gbk("横向标签个数 = 2\r\n#纵向标签个数=5\r\n纵向标签个数=7\r\n标签纵向间隔行数\r\n全部转换大写=abc\r\n"));
    EXPECT_EQ(t.GetNumber(gbk("横向标签个数")), 2);
    EXPECT_EQ(t.GetNumber(gbk("纵向标签个数")), -1) << "the first occurrence is commented out";
    EXPECT_EQ(t.GetNumber(gbk("全部转换大写")), 0);
    EXPECT_EQ(t.GetNumber(gbk("换行转空格")), -1);
    EXPECT_EQ(t.GetNumber(QByteArray()), -1);
    // A key with no "=" after it anywhere.
    const PrintTemplate last = withDefinition(gbk("标签纵向间隔行数"));
    EXPECT_EQ(last.GetNumber(gbk("标签纵向间隔行数")), -1);
}

TEST(TemplateGrammar, GetSectionIsTrimmedAndNeedsBothMarkers)
{
    const PrintTemplate t = withDefinition(
        gbk("<发件人定义开始>\r\n  [发件人] [单位]\r\n<发件人定义结束>\r\n<收件人定义开始>[收件人]\r\n"));
    EXPECT_EQ(t.GetSection(gbk("发件人定义")), QStringLiteral("[发件人] [单位]"));
    EXPECT_EQ(t.GetSection(gbk("收件人定义")), QString());
    EXPECT_EQ(t.GetSection(gbk("头定义")), QString());
}

TEST(TemplateGrammar, HostileDefinitionsNeverReachOutsideTheText)
{
    QByteArray longName(300, 'x');
    const PrintTemplate t =
        withDefinition(gbk("<列表定义开始>\r\n") + longName + "=B2\r\nZZ=ZZ9\r\n" + "Y=A99999999999\r\n" +
                       QByteArray("\x00\xff\x81=\xfe", 5) + "\r\n" + gbk("<列表定义结束>"));
    EXPECT_TRUE(t.listCells().isEmpty());
    QByteArray junk;
    for (int i = 0; i < 20000; ++i)
        junk.append(char((i * 7919) % 256));
    const PrintTemplate binary = withDefinition(gbk("<列表定义开始>") + junk + gbk("<列表定义结束>"));
    for (const TemplateCell &cell : binary.listCells()) {
        EXPECT_GE(cell.row, 1);
        EXPECT_LE(cell.column, 256);
        EXPECT_LE(cell.name.size(), 255);
    }
    // The key stands at junk index 100 with no "#" before it; its first "=" is
    // followed by ",", which reads as no digits.
    EXPECT_EQ(binary.GetNumber(junk.mid(100, 3)), 0);
    EXPECT_EQ(withDefinition("\"").listCells().size(), 0);
    EXPECT_EQ(withDefinition(gbk("<列表定义开始>\"")).listCells().size(), 0);
}

TEST(TemplateGrammar, NamesOfFilesAreChecked)
{
    EXPECT_TRUE(PrintTemplate::IsValidName(gbk("默认面单")));
    EXPECT_TRUE(PrintTemplate::IsValidName(QByteArray(31, 'a')));
    EXPECT_FALSE(PrintTemplate::IsValidName(QByteArray(32, 'a')));
    for (const char *bad : {"", " ", "a/b", "a\\b", "..", "x..y", "a\tb", "a\nb"})
        EXPECT_FALSE(PrintTemplate::IsValidName(QByteArray(bad))) << bad;
    EXPECT_FALSE(PrintTemplate::IsValidName(QByteArray("\x81", 1))) << "half a GBK character";
}

TEST(TemplateFilesLoad, OnlyWorkbooksPassForSpreadsheets)
{
    EXPECT_TRUE(PrintTemplate::LooksLikeWorkbook(printtest::workbook()));
    EXPECT_TRUE(PrintTemplate::LooksLikeWorkbook("PK\x03\x04zipped"));
    EXPECT_FALSE(
        PrintTemplate::LooksLikeWorkbook(QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") + QByteArray(4000, 'Z')))
        << "the signature alone, then junk";
    EXPECT_FALSE(PrintTemplate::LooksLikeWorkbook(printtest::workbook().left(600))) << "cut before its directory";
    QByteArray otherStream = printtest::workbook();
    otherStream.replace(1024 + 128, 16, QByteArray("W\0o\0r\0d\0D\0o\0c\0\0\0", 16));
    EXPECT_FALSE(PrintTemplate::LooksLikeWorkbook(otherStream)) << "a compound document without a workbook";
    QByteArray loop = otherStream;
    loop.replace(512 + 4, 4, QByteArray("\x01\0\0\0", 4));
    EXPECT_FALSE(PrintTemplate::LooksLikeWorkbook(loop)) << "a directory chain that loops ends";
    QFile shipped(ShippedData::Folder() + QStringLiteral("/DATA_MODEL/TAB_默认面单.xls"));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    EXPECT_TRUE(PrintTemplate::LooksLikeWorkbook(shipped.readAll()));
}

TEST(TemplateFilesLoad, ReadsThePairWithoutRegardToCase)
{
    TempRoot root;
    root.write(QStringLiteral("TAB_Quick.TXT"), list("收件人=B2"));
    root.write(QStringLiteral("tab_quick.xls"), printtest::workbook());
    PrintTemplate t(TemplateKind::Waybill, QStringLiteral("QUICK"));
    ASSERT_TRUE(t.LoadTemplate(root.path()));
    EXPECT_EQ(t.spreadsheet(), printtest::workbook());
    EXPECT_TRUE(find(t, "收件人"));
    EXPECT_EQ(t.nameGbk(), QByteArray("QUICK"));
}

TEST(TemplateFilesLoad, RefusesMissingOversizedAndNonWorkbookFiles)
{
    TempRoot root;
    root.write(QStringLiteral("TAB_a.txt"), list("收件人=B2"));
    EXPECT_FALSE(PrintTemplate(TemplateKind::Waybill, QStringLiteral("a")).LoadTemplate(root.path())) << "no .xls";
    root.write(QStringLiteral("TAB_b.xls"), printtest::workbook());
    EXPECT_FALSE(PrintTemplate(TemplateKind::Waybill, QStringLiteral("b")).LoadTemplate(root.path())) << "no .txt";
    root.write(QStringLiteral("TAB_c.txt"), QByteArray(10 * 1024 * 1024, 'x'));
    root.write(QStringLiteral("TAB_c.xls"), printtest::workbook());
    EXPECT_FALSE(PrintTemplate(TemplateKind::Waybill, QStringLiteral("c")).LoadTemplate(root.path()))
        << "a 10 MB definition is no template";
    root.write(QStringLiteral("TAB_d.txt"), list("收件人=B2"));
    root.write(QStringLiteral("TAB_d.xls"), "收件人,张三\n");
    EXPECT_FALSE(PrintTemplate(TemplateKind::Waybill, QStringLiteral("d")).LoadTemplate(root.path()))
        << "a text file is no workbook";
    root.write(QStringLiteral("TAB_e.txt"), list("收件人=B2"));
    root.write(QStringLiteral("TAB_e.xls"), printtest::workbook());
    EXPECT_FALSE(PrintTemplate(TemplateKind::Waybill, QStringLiteral("../TAB_e")).LoadTemplate(root.path()));
    EXPECT_TRUE(PrintTemplate(TemplateKind::Waybill, QStringLiteral("e")).LoadTemplate(root.path()));
    EXPECT_FALSE(PrintTemplate(TemplateKind::Invoice, QStringLiteral("e")).LoadTemplate(root.path()))
        << "the prefix belongs to the kind";
}

TEST(TemplateFilesLoad, ASpreadsheetOfAnotherFormIsAskedOfTheOfficeAndAWorkbookIsNot)
{
    TempRoot root;
    root.write(QStringLiteral("TAB_x.txt"), list("收件人=B2"));
    const QByteArray xml = QByteArrayLiteral("<?xml version=\"1.0\"?>\n<?mso-application progid=\"Excel.Sheet\"?>\n"
                                             "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\"/>\n");
    root.write(QStringLiteral("TAB_x.xls"), xml);
    QList<QByteArray> asked;
    const auto office = [&](bool opens) {
        return [&asked, opens](const QByteArray &bytes) {
            asked << bytes;
            return opens;
        };
    };
    EXPECT_FALSE(PrintTemplate(TemplateKind::Waybill, QStringLiteral("x")).LoadTemplate(root.path()))
        << "without an office nobody can tell";
    EXPECT_FALSE(PrintTemplate(TemplateKind::Waybill, QStringLiteral("x")).LoadTemplate(root.path(), office(false)));
    PrintTemplate accepted(TemplateKind::Waybill, QStringLiteral("x"));
    ASSERT_TRUE(accepted.LoadTemplate(root.path(), office(true)));
    EXPECT_EQ(accepted.spreadsheet(), xml);
    EXPECT_EQ(asked, (QList<QByteArray>{xml, xml}));

    asked.clear();
    root.write(QStringLiteral("TAB_x.xls"), printtest::workbook());
    EXPECT_TRUE(PrintTemplate(TemplateKind::Waybill, QStringLiteral("x")).LoadTemplate(root.path(), office(false)));
    EXPECT_TRUE(asked.isEmpty()) << "an Excel 97 workbook does not start the office";
}
