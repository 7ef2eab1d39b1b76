#include "upload/AcceptedRecords.h"
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

QByteArray bytesOf(const PreInputRecord *r)
{
    return QByteArray(reinterpret_cast<const char *>(r), sizeof *r);
}

} // namespace

TEST(AcceptedRecords, BatchesDeleteUnchangedRecordsWithTheirLines)
{
    TempRoot root;
    ScriptedPrompter prompter;
    ClientContext c(root.path());
    ASSERT_TRUE(c.Start(prompter));
    for (int i = 0; i < 100; ++i) {
        PreInputRecord r{};
        Gbk::setField(r.cnum, QStringLiteral("N%1").arg(i));
        c.preInputs().Append(&r);
        GoodsRecord g{};
        g.iparent = r.iid;
        c.goods().Append(&g);
        WeightRecord w{};
        w.iparent = r.iid;
        c.weights().Append(&w);
    }
    AcceptedRecords accepted(c, UploadKind::Shipments);
    for (int id = 1; id < AcceptedRecords::kMinBatch; ++id)
        accepted.add(id, bytesOf(c.preInputs().Find(id)));
    EXPECT_FALSE(accepted.due());
    EXPECT_EQ(accepted.state(1), AcceptedRecords::State::Waiting);
    EXPECT_EQ(accepted.state(99), AcceptedRecords::State::Unknown);
    accepted.add(AcceptedRecords::kMinBatch, bytesOf(c.preInputs().Find(AcceptedRecords::kMinBatch)));
    EXPECT_TRUE(accepted.due());

    // Edited after it was sent: it stays. Deleted by the operator: gone anyway.
    Gbk::setField(c.preInputs().Find(5)->cremark, QStringLiteral("改过"));
    c.preInputs().DeleteById(6);
    accepted.commit();
    EXPECT_EQ(accepted.waiting(), 0u);
    EXPECT_EQ(accepted.state(1), AcceptedRecords::State::Removed);
    EXPECT_EQ(accepted.state(5), AcceptedRecords::State::Kept);
    EXPECT_EQ(accepted.state(6), AcceptedRecords::State::Removed);
    EXPECT_EQ(c.preInputs().GetCount(), 100 - AcceptedRecords::kMinBatch + 1);
    EXPECT_NE(c.preInputs().Find(5), nullptr);
    EXPECT_EQ(c.goods().GetCount(), 100 - AcceptedRecords::kMinBatch + 2) << "6 lost its record, not its lines";
    EXPECT_EQ(c.goods().FindFirstByParent(5), 0);
    EXPECT_EQ(c.weights().FindFirstByParent(1), -1);
    EXPECT_EQ(c.goods().At(1)->iparent, 6);
}
