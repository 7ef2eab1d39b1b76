#include "print/InvoiceSheet.h"
#include "PrintTestSupport.h"
#include "app/ScriptedPrompter.h"
#include "core/excel/RecordingEngine.h"
#include "excel/ExcelSession.h"
#include "print/InvoiceLayout.h"
#include "print/InvoiceSource.h"
#include "print/PrintTemplate.h"
#include "storage/GoodsNameDictionary.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

using namespace quarvel;
using printtest::gbk;

namespace {

GoodsNameDictionary dictionary()
{
    QByteArray file(8, '\0');
    file += GoodsNameDictionary::EncodeEntry(1, "FD001", gbk("茶叶"), "Tea");
    file += GoodsNameDictionary::EncodeEntry(2, "TX002", gbk("衬衫"), "Shirt");
    file += GoodsNameDictionary::EncodeEntry(3, "TE016", gbk("棉"), "Cotton");
    GoodsNameDictionary d;
    d.LoadBytes(file);
    return d;
}

struct InvoiceFixture : ::testing::Test {
    InvoiceFixture() : invoice(TemplateKind::Invoice, QStringLiteral("发票"))
    {
        invoice.SetContent(gbk("#\r\n运单号 Waybill=B3\r\n打印日期 Printed=E3\r\n寄件日期 Shipped=B4\r\n"
                               "快件尺寸 Size=E5\r\n收件人电话 Phone=E15\r\n收件人姓名 Name=E9\r\n"
                               "外文物品描述 Description=A19\r\n物品数量 Qty=C19\r\n物品单价 Unit=D19\r\n"
                               "原产地 Origin=E19\r\n小计金额 Amount=F19\r\n总计金额 Total=F29\r\n"),
                           printtest::workbook());
        layout.Rebuild(&invoice);
        source.record.ddate = {2024, 3, 5};
        source.record.nquantity = 2;
        source.record.iprice = 1250;
        Gbk::setField(source.record.cnum, QStringLiteral("0123456"));
        Gbk::setField(source.record.ccurrency, QStringLiteral("USD"));
        Gbk::setField(source.record.cgoodsorigin, QStringLiteral("CN"));
        Gbk::setField(source.record.cgoods, QStringLiteral("茶叶"));
        Gbk::setField(source.record.cphone, QStringLiteral("0755123"));
        Gbk::setField(source.record.creceiver, QStringLiteral("Smith"));
        Gbk::setField(source.record.csize, QStringLiteral("x"));
    }

    void fill()
    {
        ScriptedPrompter prompter;
        ExcelSession session(&engine, prompter, root.path());
        session.SetConfirmOverwrite(false);
        ASSERT_TRUE(session.OpenFromBytes(QStringLiteral("Invoice"), root.file(QStringLiteral("i.xls")),
                                          invoice.spreadsheet()));
        InvoiceSheet::Fill(session, {invoice, layout, names, QDate(2024, 4, 9)}, source);
        EXPECT_TRUE(session.GetErrorText().isEmpty()) << session.GetErrorText().toStdString();
    }

    void addGoods(const char *name, int quantity, double price)
    {
        GoodsRecord g{};
        Gbk::setField(g.cname, QString::fromUtf8(name));
        g.nquantity = quantity;
        g.fprice = price;
        source.goods.push_back(g);
    }

    QString at(int row, int column) const
    {
        return engine.cells.value(QStringLiteral("%1,%2").arg(row).arg(column), QStringLiteral("<none>"));
    }

    TempRoot root;
    RecordingEngine engine;
    PrintTemplate invoice;
    InvoiceLayout layout;
    GoodsNameDictionary names = dictionary();
    InvoiceSource source;
};

} // namespace

TEST_F(InvoiceFixture, ThreeGoodsLinesGoOnRowsRToRPlusTwo)
{
    addGoods("茶叶", 3, 12.5);
    addGoods("衬衫 (cotton)", 1, 0.1);
    addGoods("棉 衬衫 unknown", 2, 19.99);
    engine.cells[QStringLiteral("29,6")] = QStringLiteral("Total: ");
    fill();
    EXPECT_EQ(at(19, 1), QStringLiteral("Tea"));
    EXPECT_EQ(at(20, 1), QStringLiteral("Shirt (cotton)")) << "the remark in brackets stays as it is";
    EXPECT_EQ(at(21, 1), QStringLiteral("Cotton,Shirt,unknown"));
    EXPECT_EQ(at(19, 3), QStringLiteral("3"));
    EXPECT_EQ(at(19, 4), QStringLiteral("USD12.50"));
    EXPECT_EQ(at(19, 5), QStringLiteral("CN"));
    EXPECT_EQ(at(19, 6), QStringLiteral("USD37.50"));
    EXPECT_EQ(at(20, 6), QStringLiteral("USD0.10"));
    EXPECT_EQ(at(21, 6), QStringLiteral("USD39.98"));
    EXPECT_EQ(at(22, 1), QStringLiteral("<none>"));
    EXPECT_EQ(at(29, 6), QStringLiteral("Total: USD77.58")) << "appended to the caption";
}

TEST_F(InvoiceFixture, WithoutGoodsLinesTheRecordsOwnGoodsTakeTheFirstGoodsRow)
{
    fill();
    EXPECT_EQ(at(19, 1), QStringLiteral("Tea")) << "the row of 物品描述, where a first goods line would go";
    EXPECT_EQ(at(19, 3), QStringLiteral("2"));
    EXPECT_EQ(at(19, 4), QStringLiteral("USD12.50"));
    EXPECT_EQ(at(19, 6), QStringLiteral("USD25.00"));
    EXPECT_EQ(at(20, 1), QStringLiteral("<none>"));
    EXPECT_EQ(at(29, 6), QStringLiteral("USD25.00"));
}

TEST_F(InvoiceFixture, CaptionsGetTheValueAppendedAndNumbersStayText)
{
    engine.cells[QStringLiteral("9,5")] = QStringLiteral("Name: ");
    fill();
    EXPECT_EQ(at(3, 2), QStringLiteral("0123456")) << "an empty caption became an apostrophe first";
    EXPECT_EQ(at(15, 5), QStringLiteral("0755123"));
    EXPECT_EQ(at(9, 5), QStringLiteral("Name: Smith"));
    EXPECT_EQ(at(4, 2), QStringLiteral("03/05/2024"));
    EXPECT_EQ(at(3, 5), QStringLiteral("04/09/2024"));
    EXPECT_EQ(at(5, 5), QStringLiteral("<none>")) << "a size of one character is not written";
    EXPECT_TRUE(engine.log.contains(QStringLiteral("setText 3,2 0123456")));
}

TEST_F(InvoiceFixture, DescriptionsByMode)
{
    EXPECT_EQ(InvoiceSheet::Description(QStringLiteral("衬衫 (棉)"), InvoiceLayout::AsEntered, names),
              QStringLiteral("衬衫 (棉)"));
    EXPECT_EQ(InvoiceSheet::Description(QStringLiteral("Tea shirt"), InvoiceLayout::IntoChinese, names),
              QStringLiteral("茶叶、衬衫"));
    EXPECT_EQ(InvoiceSheet::Description(QStringLiteral("Tea (green)"), InvoiceLayout::IntoChinese, names),
              QStringLiteral("茶叶 (green)"));
    EXPECT_EQ(InvoiceSheet::Description(QStringLiteral("茶叶 (绿茶)"), InvoiceLayout::IntoForeign, names),
              QStringLiteral("Tea (绿茶)"));
    EXPECT_EQ(InvoiceSheet::Description(QStringLiteral("茶叶(绿茶"), InvoiceLayout::IntoForeign, names),
              QStringLiteral("茶叶(绿茶"))
        << "an unclosed bracket is part of the name";
}

TEST_F(InvoiceFixture, GoodsColumnsWithoutADescriptionRowAreSkipped)
{
    invoice.SetContent(gbk("物品数量 Qty=C19\r\n运单号 Waybill=B3\r\n"), printtest::workbook());
    layout.Rebuild(&invoice);
    addGoods("茶叶", 3, 12.5);
    fill();
    EXPECT_EQ(at(19, 3), QStringLiteral("<none>"));
    EXPECT_EQ(at(3, 2), QStringLiteral("0123456"));
}
