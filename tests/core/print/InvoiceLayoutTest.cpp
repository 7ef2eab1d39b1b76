#include "print/InvoiceLayout.h"
#include "PrintTestSupport.h"
#include "print/PrintTemplate.h"

#include <gtest/gtest.h>

using namespace quarvel;
using printtest::gbk;

namespace {

InvoiceLayout layoutOf(const QByteArray &definition, const QByteArray &spreadsheet = printtest::workbook())
{
    PrintTemplate t(TemplateKind::Invoice, QStringLiteral("发票"));
    t.SetContent(definition, spreadsheet);
    InvoiceLayout layout;
    layout.Rebuild(&t);
    return layout;
}

} // namespace

TEST(InvoiceLayout, LinesTakePartByTheirLength)
{
    const InvoiceLayout layout = layoutOf(gbk("运单号=B3\r\n收件人姓名:=B7\r\n"));
    ASSERT_TRUE(layout.valid());
    EXPECT_FALSE(layout.placed(InvoiceLayout::Number)) << "9 bytes are not longer than 10";
    EXPECT_EQ(layout.cell(6).row, 7);
    EXPECT_EQ(layout.cell(6).column, 2);
    QByteArray longLine = gbk("寄件人姓名=C9 ") + QByteArray(260, 'x');
    EXPECT_FALSE(layoutOf(longLine + "\r\n").placed(14)) << "254 bytes and more do not take part";
}

TEST(InvoiceLayout, TheCellFollowsTheFirstEqualsAndTheFirstNameInIndexOrderWins)
{
    const InvoiceLayout layout = layoutOf(gbk("收件人地址 寄件人地址=d12\r\n运单号 No.= B3\r\n#快件重量 kg=C4\r\n"
                                              "   快件件数 Pieces=E4\r\n物品描述 Goods=AB19\r\n"));
    EXPECT_EQ(layout.cell(7).row, 12) << "收件人地址 comes before 寄件人地址";
    EXPECT_EQ(layout.cell(7).column, 4) << "the column letter may be lower case";
    EXPECT_FALSE(layout.placed(15));
    EXPECT_FALSE(layout.placed(InvoiceLayout::Number)) << "a blank after =";
    EXPECT_FALSE(layout.placed(InvoiceLayout::Weight)) << "a comment";
    EXPECT_EQ(layout.cell(InvoiceLayout::Pieces).column, 5) << "leading blanks of a line are skipped";
    EXPECT_FALSE(layout.placed(InvoiceLayout::Description)) << "one column letter only";
    EXPECT_FALSE(layout.placed(28));
}

TEST(InvoiceLayout, DescriptionModeFromTheLineStarts)
{
    EXPECT_EQ(layoutOf(gbk("x\r\n物品描述 Goods=A19\r\n")).descriptionMode(), InvoiceLayout::AsEntered);
    EXPECT_EQ(layoutOf(gbk("x\r\n中文物品描述 Goods=A19\r\n")).descriptionMode(), InvoiceLayout::IntoChinese);
    EXPECT_EQ(layoutOf(gbk("x\r\n外文物品描述 Goods=A19\r\n")).descriptionMode(), InvoiceLayout::IntoForeign);
    EXPECT_EQ(layoutOf(gbk("物品描述 Goods=A19\r\n")).descriptionMode(), InvoiceLayout::IntoForeign)
        << "only after a CR LF";
    const InvoiceLayout both = layoutOf(gbk("x\r\n中文物品描述 Goods=A19\r\n外文物品描述 Foreign=B20\r\n"));
    EXPECT_EQ(both.descriptionMode(), InvoiceLayout::IntoChinese);
    EXPECT_EQ(both.cell(InvoiceLayout::Description).row, 20) << "a later line naming it again moves it";
}

TEST(InvoiceLayout, NeedsBothPartsOfTheTemplate)
{
    EXPECT_FALSE(layoutOf(gbk("运单号 Waybill=B3\r\n"), QByteArray()).valid());
    EXPECT_FALSE(layoutOf(QByteArray()).valid());
    InvoiceLayout kept = layoutOf(gbk("运单号 Waybill=B3\r\n"));
    kept.Rebuild(nullptr);
    EXPECT_TRUE(kept.placed(InvoiceLayout::Number)) << "no template changes nothing";
}

TEST(InvoiceLayout, DoubleByteCharactersAreNotUpperCasedIntoOtherNames)
{
    // The second byte of some GBK characters lies in a..z; such a line must not be damaged.
    QByteArray line = gbk("寄件人城市 ") + QByteArray("\x81\x61\x81\x62") + gbk(" 备注=c8\r\n");
    const InvoiceLayout layout = layoutOf(line);
    EXPECT_EQ(layout.cell(18).column, 3);
    EXPECT_EQ(layout.cell(18).row, 8);
}

TEST(InvoiceLayout, BinaryJunkNeverPlacesACellOutsideTheSheet)
{
    QByteArray junk;
    for (int i = 0; i < 50000; ++i)
        junk.append(char((i * 2654435761u) >> 13));
    const InvoiceLayout layout = layoutOf(junk);
    for (int i = 0; i < InvoiceLayout::kCount; ++i) {
        EXPECT_LE(layout.cell(i).column, 26);
        EXPECT_LE(layout.cell(i).row, 65536);
    }
}
