#include "storage/GoodsFile.h"
#include "storage/RecordFile.h"
#include "support/TempRoot.h"

#include <map>
#include <optional>
#include <random>
#include <vector>

using namespace quarvel;

namespace {

struct Rec {
    std::int32_t id;
    std::int32_t value;
};

std::vector<int> goodsOf(const GoodsFile &file, int parent)
{
    std::vector<GoodsRecord> lines;
    file.CopyByParent(lines, parent);
    std::vector<int> quantities;
    for (const GoodsRecord &g : lines)
        quantities.push_back(g.nquantity);
    return quantities;
}

void appendLines(GoodsFile &file, int parent, std::vector<int> quantities)
{
    for (int q : quantities) {
        GoodsRecord g{};
        g.iparent = parent;
        g.nquantity = q;
        ASSERT_GT(file.Append(&g), 0);
    }
}

} // namespace

// Look-ups, first in the map and then, once they have earned it, in the cached
// ids, must agree with what the file holds through appends, rewrites and deletes.
TEST(RecordLookup, LookUpsInTheMapAndInTheCachedIdsFindTheSameRecords)
{
    TempRoot root;
    RecordFile file;
    ASSERT_TRUE(file.OpenFile(root.file(QStringLiteral("r.dat")), sizeof(Rec)));
    std::map<int, int> model;
    std::mt19937 random(7);
    for (int i = 0; i < 3000; ++i) {
        Rec r{0, i};
        ASSERT_GT(file.Append(&r), 0);
        model[r.id] = i;
    }
    for (int round = 0; round < 20000; ++round) {
        const int id = int(random() % (file.GetLastId() + 5));
        switch (random() % 6) {
        case 0: {
            Rec r{0, 100000 + round};
            ASSERT_GT(file.Append(&r), 0);
            model[r.id] = r.value;
            break;
        }
        case 1:
            file.DeleteById(id);
            model.erase(id);
            break;
        case 2:
            if (const int at = file.FindIndexById(id); at >= 0) {
                Rec r{id, -round};
                file.WriteAt(at, &r);
                model[id] = r.value;
            }
            break;
        default: {
            const auto *found = reinterpret_cast<const Rec *>(file.FindById(id));
            ASSERT_EQ(found != nullptr, model.count(id) == 1) << "id " << id << " in round " << round;
            if (found) {
                ASSERT_EQ(found->value, model[id]);
            }
        }
        }
    }
    ASSERT_EQ(file.GetCount(), int(model.size()));
}

// A shipment's lines are found and deleted alike whether the file is in
// parent order (binary searches) or an edited shipment's lines stand at its end.
TEST(RecordLookup, LineRunsAreFoundAndDeletedWhereverTheyStand)
{
    TempRoot root;
    GoodsFile goods;
    ASSERT_GE(goods.OpenRecords(root.file(QStringLiteral("g.dat"))), 0);
    for (int parent = 1; parent <= 400; ++parent)
        if (parent % 5 != 0)
            appendLines(goods, parent, {parent, parent + 1000});
    EXPECT_EQ(goodsOf(goods, 1), (std::vector<int>{1, 1001}));
    EXPECT_EQ(goodsOf(goods, 399), (std::vector<int>{399, 1399}));
    EXPECT_TRUE(goodsOf(goods, 10).empty());
    EXPECT_TRUE(goodsOf(goods, 999).empty());
    EXPECT_EQ(goods.FindFirstByParent(2), 2);
    goods.DeleteByParent(201);
    goods.DeleteByParent(10);
    EXPECT_EQ(goods.GetCount(), 638);
    EXPECT_EQ(goodsOf(goods, 199), (std::vector<int>{199, 1199}));
    EXPECT_EQ(goodsOf(goods, 202), (std::vector<int>{202, 1202}));

    // Shipment 7 is edited: its lines go and come back at the end, longer.
    goods.DeleteByParent(7);
    appendLines(goods, 7, {70, 71, 72});
    appendLines(goods, 401, {401});
    appendLines(goods, 6, {60});
    EXPECT_EQ(goodsOf(goods, 6), (std::vector<int>{6, 1006})) << "the first run only";
    EXPECT_EQ(goods.FindFirstByParent(6), 8);
    EXPECT_EQ(goodsOf(goods, 7), (std::vector<int>{70, 71, 72}));
    EXPECT_EQ(goodsOf(goods, 8), (std::vector<int>{8, 1008}));
    EXPECT_EQ(goodsOf(goods, 401), (std::vector<int>{401}));

    goods.DeleteByParent(6);
    EXPECT_EQ(goods.FindFirstByParent(6), -1) << "every line of the shipment, in both runs";
    EXPECT_EQ(goods.DeleteByParents({7}), 3);
    // In parent order again: the searches find what the lines say.
    EXPECT_EQ(goodsOf(goods, 8), (std::vector<int>{8, 1008}));
    EXPECT_EQ(goodsOf(goods, 401), (std::vector<int>{401}));
    goods.DeleteByParent(401);
    EXPECT_EQ(goods.GetCount(), 634);
    for (int i = 1; i < goods.GetCount(); ++i) {
        ASSERT_LT(goods.At(i - 1)->iid, goods.At(i)->iid);
        ASSERT_LT(goods.At(i - 1)->iparent, goods.At(i)->iparent + 1);
    }
}

// A reader takes the order a clean close noted only while no writer has
// changed the file: an edit behind it sends it back to looking at every line.
TEST(RecordLookup, AReaderTrustsTheNotedOrderOnlyUntilAWriterChangesTheFile)
{
    TempRoot root;
    const QString path = root.file(QStringLiteral("g.dat"));
    std::optional<RecordFile::Stamp> closed;
    {
        GoodsFile writer;
        ASSERT_GE(writer.OpenRecords(path), 0);
        for (int parent = 1; parent <= 100; ++parent)
            appendLines(writer, parent, {parent});
        ASSERT_TRUE(writer.Flush());
        closed = writer.CurrentStamp();
    }
    ASSERT_TRUE(closed);
    EXPECT_EQ(closed->note, 1);

    GoodsFile reader;
    reader.TrustCleanClose(*closed);
    ASSERT_GE(reader.OpenRecords(path, RecordFile::Mode::ReadOnly), 0);
    EXPECT_EQ(goodsOf(reader, 5), (std::vector<int>{5}));

    GoodsFile writer;
    writer.TrustCleanClose(*closed);
    ASSERT_GE(writer.OpenRecords(path), 0);
    writer.DeleteByParent(5);
    appendLines(writer, 5, {50, 51});
    EXPECT_EQ(goodsOf(writer, 5), (std::vector<int>{50, 51}));
    EXPECT_EQ(goodsOf(reader, 5), (std::vector<int>{50, 51}));
    EXPECT_EQ(reader.FindFirstByParent(5), 99);
}
