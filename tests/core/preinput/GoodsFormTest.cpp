#include "PreInputFixture.h"

#include "preinput/GoodsForm.h"

using namespace quarvel;

namespace {

void add(GoodsForm &form, const QString &name, const QString &quantity, const QString &price)
{
    form.entry.name = name;
    form.entry.quantity = quantity;
    form.entry.price = price;
    ASSERT_TRUE(form.AddOrModify());
}

} // namespace

TEST(GoodsForm, NewRecordLinesGoToThePageAndAreStoredWithTheRecord)
{
    PreInputFixture f;
    PreInputForm &page = *f.form;
    {
        GoodsForm goods(page.goodsLines(), page.iid(), f.context, f.prompter);
        EXPECT_EQ(goods.addCaption(), QStringLiteral("添加&S"));
        goods.entry.name = QStringLiteral("   ");
        EXPECT_FALSE(goods.AddOrModify());
        EXPECT_EQ(f.prompter.lastText(), QStringLiteral("[物品名称]不得短于 1 字符。"));
        add(goods, QStringLiteral("茶叶"), QStringLiteral("2"), QStringLiteral("10"));
        add(goods, QStringLiteral("瓷器"), QStringLiteral("x"), QStringLiteral("5.5"));
        EXPECT_EQ(goods.rows().at(1).quantity, QStringLiteral("0"));
        EXPECT_EQ(goods.rows().at(1).price, QStringLiteral("5.50"));
        goods.Ok();
    }
    ASSERT_EQ(page.goodsLines().size(), 2u);
    EXPECT_EQ(f.context.goods().GetCount(), 0);
    EXPECT_EQ(+page.goodsLines()[1].iid, 1);

    // Lines of an unsaved record can be modified and deleted on the next opening.
    {
        GoodsForm goods(page.goodsLines(), page.iid(), f.context, f.prompter);
        ASSERT_EQ(goods.rows().size(), 2);
        EXPECT_GT(goods.rows().at(0).identity, 0);
        EXPECT_NE(goods.rows().at(0).identity, goods.rows().at(1).identity);
        goods.Select(0);
        EXPECT_EQ(goods.addCaption(), QStringLiteral("修改&S"));
        EXPECT_EQ(goods.entry.name, QStringLiteral("茶叶"));
        goods.entry.quantity = QStringLiteral("3");
        ASSERT_TRUE(goods.AddOrModify());
        goods.Select(1);
        ASSERT_TRUE(goods.Delete());
        EXPECT_EQ(goods.rows().size(), 1);
        goods.Ok();
    }
    ASSERT_EQ(page.goodsLines().size(), 1u);
    EXPECT_EQ(+page.goodsLines()[0].nquantity, 3);
    page.GoodsEdited();
    EXPECT_EQ(page.values().cgoods, QStringLiteral("茶叶"));

    f.fillValid(QStringLiteral("GOODS01"));
    ASSERT_TRUE(page.SaveRecord());
    ASSERT_EQ(f.context.goods().GetCount(), 1);
    EXPECT_EQ(+f.context.goods().At(0)->iparent, 1);
    EXPECT_EQ(+f.context.preInputs().At(0)->ngoodslines, 1);
}

TEST(GoodsForm, StoredRecordLinesAreRewrittenInTheFileOnOk)
{
    PreInputFixture f;
    PreInputForm &page = *f.form;
    for (const char *name : {"A", "B", "C"}) {
        GoodsRecord g{};
        Gbk::setField(g.cname, QString::fromLatin1(name));
        g.nquantity = 1;
        g.fprice = 2.0;
        page.goodsLines().push_back(g);
    }
    f.fillValid(QStringLiteral("STORED1"));
    ASSERT_TRUE(page.SaveRecord());
    ASSERT_TRUE(page.LoadRecord(1));
    const int firstId = page.goodsLines()[0].iid;

    {
        // OK without a change keeps the lines and their ids.
        GoodsForm goods(page.goodsLines(), page.iid(), f.context, f.prompter);
        EXPECT_EQ(goods.rows().at(0).identity, firstId);
        goods.Ok();
        EXPECT_EQ(+page.goodsLines()[0].iid, firstId);
        EXPECT_EQ(f.context.goods().GetCount(), 3);
    }
    {
        // "刷新原值" drops the edits.
        GoodsForm goods(page.goodsLines(), page.iid(), f.context, f.prompter);
        goods.Select(0);
        ASSERT_TRUE(goods.Delete());
        goods.Fill();
        EXPECT_EQ(goods.rows().size(), 3);
        EXPECT_EQ(goods.changes(), 0);
        goods.Select(1);
        ASSERT_TRUE(goods.Delete());
        goods.Ok();
    }
    ASSERT_EQ(f.context.goods().GetCount(), 2);
    EXPECT_EQ(Gbk::field(f.context.goods().At(0)->cname), QStringLiteral("A"));
    EXPECT_EQ(Gbk::field(f.context.goods().At(1)->cname), QStringLiteral("C"));
    EXPECT_GT(+f.context.goods().At(0)->iid, 3); // re-appended under new ids
    EXPECT_EQ(+f.context.goods().At(0)->iparent, 1);
    EXPECT_EQ(+page.goodsLines()[1].iid, +f.context.goods().At(1)->iid);
    EXPECT_EQ(+f.context.preInputs().At(0)->ngoodslines, 2);

    {
        // Closing without OK leaves lines and file alone.
        GoodsForm goods(page.goodsLines(), page.iid(), f.context, f.prompter);
        add(goods, QStringLiteral("D"), QStringLiteral("1"), QStringLiteral("1"));
    }
    EXPECT_EQ(page.goodsLines().size(), 2u);
    EXPECT_EQ(f.context.goods().GetCount(), 2);
}
