#include "PreInputFixture.h"

#include "preinput/PreInputRows.h"
#include "shell/PageCatalog.h"

using namespace quarvel;

TEST(PreInputRows, CellsColoursAndFilterModes)
{
    PreInputFixture f;
    PreInputForm &form = *f.form;
    f.fillValid(QStringLiteral("ROW0001"));
    PreInputValues &v = form.values();
    v.ddate = QStringLiteral("2026.3.9");
    v.nitemtype = 0;
    v.npieces = 2;
    v.fweight = 1.5;
    v.ffee = 12.345;
    form.SetPayWay(2);
    v.csender = QStringLiteral("张三");
    v.cdepart = QStringLiteral("市场部");
    v.cmark = QStringLiteral("L1");
    v.cgoods = QStringLiteral("茶叶");
    v.cremark = QStringLiteral("轻放");
    v.nmarked = true;
    ASSERT_TRUE(form.SaveRecord());
    f.fillValid(QStringLiteral("ROW0002"));
    ASSERT_TRUE(form.SaveRecord());
    PreInputRecord locked = *f.context.preInputs().At(1);
    locked.nlocked = 1;
    f.context.preInputs().WriteAt(1, &locked);

    const QStringList cells = PreInputRows::Cells(*f.context.preInputs().At(0));
    ASSERT_EQ(cells.size(), PageCatalog::Columns(PageCatalog::PreInput).size());
    const QStringList expected{QString(),
                               QStringLiteral("√"),
                               QStringLiteral("2026-03-09"),
                               QStringLiteral("ROW0001"),
                               QStringLiteral("文件"),
                               QStringLiteral("2"),
                               QStringLiteral("1.500"),
                               QStringLiteral("12.35"),
                               QStringLiteral("北京市"),
                               QStringLiteral("特快专递"),
                               QStringLiteral("到付"),
                               QStringLiteral("张三"),
                               QStringLiteral("市场部"),
                               QStringLiteral("王五"),
                               QStringLiteral("L1"),
                               QStringLiteral("茶叶"),
                               QStringLiteral("轻放")};
    EXPECT_EQ(cells, expected);

    const std::vector<RecordListModel::Row> all = PreInputRows::Build(f.context.preInputs(), PreInputRows::All);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].id, 1);
    EXPECT_EQ(all[0].text, RecordListModel::kBlack);
    EXPECT_EQ(all[1].text, 0x0000FFu);
    EXPECT_EQ(all[1].cells.at(1), QString());

    EXPECT_EQ(PreInputRows::ModeOf(true, false), PreInputRows::Unmarked);
    EXPECT_EQ(PreInputRows::ModeOf(false, true), PreInputRows::Marked);
    EXPECT_EQ(PreInputRows::ModeOf(true, true), PreInputRows::All);
    EXPECT_EQ(PreInputRows::ModeOf(false, false), PreInputRows::All);
    const auto unmarked = PreInputRows::Build(f.context.preInputs(), PreInputRows::Unmarked);
    ASSERT_EQ(unmarked.size(), 1u);
    EXPECT_EQ(unmarked[0].id, 2);
    const auto marked = PreInputRows::Build(f.context.preInputs(), PreInputRows::Marked);
    ASSERT_EQ(marked.size(), 1u);
    EXPECT_EQ(marked[0].id, 1);
}

TEST(PreInputValues, FieldsAreSetByRecordName)
{
    PreInputValues v;
    EXPECT_TRUE(v.set(QStringLiteral("cdes"), QStringLiteral("上海")));
    EXPECT_TRUE(v.set(QStringLiteral("nitemtype"), QStringLiteral("2")));
    EXPECT_TRUE(v.set(QStringLiteral("iprice"), QStringLiteral("12.34")));
    EXPECT_TRUE(v.set(QStringLiteral("nmarked"), QStringLiteral("1")));
    EXPECT_EQ(v.cdes, QStringLiteral("上海"));
    EXPECT_EQ(v.nitemtype, 2);
    EXPECT_DOUBLE_EQ(v.iprice, 12.34);
    EXPECT_TRUE(v.nmarked);
    EXPECT_FALSE(v.set(QStringLiteral("nmarked"), QStringLiteral("2")));
    EXPECT_FALSE(v.set(QStringLiteral("npieces"), QStringLiteral("many")));
    EXPECT_FALSE(v.set(QStringLiteral("nosuch"), QStringLiteral("1")));
    EXPECT_FALSE(v.set(QStringLiteral("iid"), QStringLiteral("1")));
}
