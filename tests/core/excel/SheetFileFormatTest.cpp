#include "excel/SheetFileFormat.h"
#include "excel/CsvRows.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

using namespace quarvel;
using Kind = SheetFileFormat::Kind;
using Encoding = SheetFileFormat::Encoding;

TEST(SheetFileFormat, TheContentTellsWhatAnXlsReallyIs)
{
    const QString xls = QStringLiteral("订单.xls");
    EXPECT_EQ(SheetFileFormat::Of(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0", 10), xls).kind, Kind::Workbook);
    EXPECT_EQ(SheetFileFormat::Of("PK\x03\x04rest", QStringLiteral("a.xlsx")).kind, Kind::Workbook);
    EXPECT_EQ(SheetFileFormat::Of("\xEF\xBB\xBF  <html><body><table><tr><td>1</td></tr></table>", xls).kind,
              Kind::Html);
    EXPECT_EQ(SheetFileFormat::Of("<table border=1><tr><td>1</td></tr></table>", xls).kind, Kind::Html);
    EXPECT_EQ(SheetFileFormat::Of("<?xml version=\"1.0\"?>\n<?mso-application progid=\"Excel.Sheet\"?>\n<Workbook "
                                  "xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\">",
                                  xls)
                  .kind,
              Kind::XmlSpreadsheet);
    // A binary that is no workbook is left to the office, which refuses it.
    EXPECT_EQ(SheetFileFormat::Of("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n\x01\x02", xls).kind, Kind::Workbook);
}

TEST(SheetFileFormat, TextComesInItsEncodingWithItsSeparator)
{
    const SheetFileFormat tabs = SheetFileFormat::Of(Gbk::fromUnicode(QStringLiteral("运单号\t目的地\r\nA1\t北京\r\n")),
                                                     QStringLiteral("导出.xls"));
    EXPECT_EQ(tabs.kind, Kind::Text);
    EXPECT_EQ(tabs.encoding, Encoding::Gbk);
    EXPECT_EQ(tabs.separator, u'\t');

    const SheetFileFormat bom = SheetFileFormat::Of(
        "\xEF\xBB\xBF" + QStringLiteral("姓名,电话,\"地址,含逗号\"\r\n").toUtf8(), QStringLiteral("a.csv"));
    EXPECT_EQ(bom.kind, Kind::Text);
    EXPECT_EQ(bom.encoding, Encoding::Utf8);
    EXPECT_EQ(bom.separator, u',');

    const SheetFileFormat semicolons = SheetFileFormat::Of("a;b;c\n1;2;3\n", QStringLiteral("a.csv"));
    EXPECT_EQ(semicolons.separator, u';');

    QByteArray utf16("\xFF\xFE");
    for (const QChar c : QStringLiteral("姓名\t电话\r\n"))
        utf16.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    const SheetFileFormat unicode = SheetFileFormat::Of(utf16, QStringLiteral("a.txt"));
    EXPECT_EQ(unicode.kind, Kind::Text);
    EXPECT_EQ(unicode.encoding, Encoding::Utf16);
    EXPECT_EQ(unicode.separator, u'\t');

    // A UTF-8 character cut by the end of what was read is no sign of GBK.
    const QByteArray cut = QStringLiteral("姓名,电话\n").toUtf8().repeated(64 * 1024 / 14 + 1).left(64 * 1024);
    ASSERT_EQ(cut.right(2), QByteArray("\xE5\xA7"));
    EXPECT_EQ(SheetFileFormat::Of(cut, QStringLiteral("a.csv")).encoding, Encoding::Utf8);
}

TEST(CsvRows, QuotedFieldsKeepSeparatorsQuotesAndLineBreaks)
{
    const CsvRows rows("\xEF\xBB\xBF,\"2024年\",,\r\n,01086493748,\"a,\"\"b\"\"\nc\",7.73E+14\r\n\r\nlast");
    ASSERT_EQ(rows.count(), 4);
    EXPECT_EQ(rows.row(0), (QStringList{QString(), QStringLiteral("2024年"), QString(), QString()}));
    EXPECT_EQ(rows.row(1), (QStringList{QString(), QStringLiteral("01086493748"), QStringLiteral("a,\"b\"\nc"),
                                        QStringLiteral("7.73E+14")}));
    EXPECT_EQ(rows.row(2), QStringList{QString()});
    EXPECT_EQ(rows.row(3), QStringList{QStringLiteral("last")});
    EXPECT_EQ(rows.row(4), QStringList());
}
