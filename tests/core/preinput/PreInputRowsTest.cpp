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

TEST(PreInputRows, SharedTextsGiveTheSameCellsAsOneRecordAtATime)
{
    TempRoot root;
    QDir().mkpath(root.file(QStringLiteral("DATA")));
    PreInputFile file;
    ASSERT_EQ(file.OpenRecords(root.file(QStringLiteral("DATA/recinput.dat"))), 0);
    // Past the memo's sample, with columns that repeat and columns that do not.
    for (int i = 0; i < 1500; ++i) {
        PreInputRecord r{};
        r.ddate = {2026, static_cast<unsigned char>(1 + i % 12), static_cast<unsigned char>(1 + i % 28)};
        r.fweight = i % 7 == 0 ? 0.0 : i * 0.5;
        r.ffee = (i % 3) * 10.0;
        r.npieces = i % 150;
        r.nitemtype = static_cast<std::uint8_t>(i % 3);
        Gbk::setField(r.cnum, QStringLiteral("N%1").arg(i));
        Gbk::setField(r.cdes, i % 2 ? QStringLiteral("北京市") : QStringLiteral("广东深圳"));
        Gbk::setField(r.creceiver, QStringLiteral("收件人%1").arg(i));
        Gbk::setField(r.cremark, i % 5 ? QString() : QStringLiteral("备注%1").arg(i));
        file.Append(&r);
    }
    const std::vector<RecordListModel::Row> rows = PreInputRows::Build(file, PreInputRows::All);
    ASSERT_EQ(rows.size(), 1500u);
    for (int i = 0; i < 1500; ++i)
        ASSERT_EQ(rows[std::size_t(i)].cells, PreInputRows::Cells(*file.At(i))) << i;
    EXPECT_EQ(rows[1499].cells.at(3), QStringLiteral("N1499"));
    EXPECT_EQ(rows[149].cells.at(5), QStringLiteral("149"));
    EXPECT_EQ(rows[9].cells.at(6), QStringLiteral("4.500"));
    EXPECT_EQ(rows[7].cells.at(6), QStringLiteral("0.000"));
}
