#include "preinput/FreightQuery.h"
#include "preinput/PricingJob.h"
#include "support/UploadCounter.h"

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

class RecordingPricing : public PricingDisplay {
public:
    void priced(int id, int cents, bool stored) override
    {
        reports << QStringLiteral("%1:%2:%3").arg(id).arg(cents).arg(stored);
    }
    void pricingEnded(int c) override
    {
        ++ends;
        code = c;
    }
    QStringList reports;
    int ends = 0;
    int code = 1;
};

} // namespace

TEST(PricingExchange, FreightOfThePageRecord)
{
    UploadCounter c;
    ASSERT_TRUE(c.ready());
    c.prompter.clear();
    FreightQuery::Values v{QStringLiteral("特快专递"), QStringLiteral("北京"), 1.2, 1};
    const std::optional<double> freight = FreightQuery::Ask(c.context.session(), c.context.baseData(), v, c.prompter);
    ASSERT_TRUE(freight.has_value());
    EXPECT_DOUBLE_EQ(*freight, 26.0);
    ASSERT_EQ(c.prompter.shown().size(), 1);
    EXPECT_EQ(c.prompter.shown().first().title, QStringLiteral("报价查询结果"));
    EXPECT_TRUE(c.prompter.lastText().contains(QStringLiteral("\r\n运费合计: 26.00元")))
        << c.prompter.lastText().toStdString();

    c.prompter.clear();
    v.destination = QStringLiteral("火星");
    EXPECT_FALSE(FreightQuery::Ask(c.context.session(), c.context.baseData(), v, c.prompter));
    v.kindName = QStringLiteral("没有这种快递");
    EXPECT_FALSE(FreightQuery::Ask(c.context.session(), c.context.baseData(), v, c.prompter));
    v = {QStringLiteral("特快专递"), QStringLiteral("北京"), 0, 1};
    EXPECT_FALSE(FreightQuery::Ask(c.context.session(), c.context.baseData(), v, c.prompter));
    EXPECT_TRUE(c.prompter.shown().isEmpty()) << "no price, no message";
}

TEST(PricingExchange, PricingJobStoresFreightsAndEndsOnAFailure)
{
    UploadCounter c;
    ASSERT_TRUE(c.ready());
    const QList<int> ids = c.addShipments({QStringLiteral("P1"), QStringLiteral("P2")});
    PreInputRecord nowhere{};
    Gbk::setField(nowhere.cnum, QStringLiteral("P3"));
    Gbk::setField(nowhere.cemskind, QStringLiteral("特快专递"));
    nowhere.fweight = 1;
    nowhere.ffee = 7;
    const int unpriced = c.addShipment(nowhere, {}, {});
    {
        PricingJob job(c.context);
        job.Prepare({ids[0], unpriced, ids[1]});
        ASSERT_TRUE(job.Start());
        EXPECT_FALSE(PricingJob(c.context).Start()) << "one background job at a time";
        RecordingPricing d;
        job.DrainUntilEnded(d);
        EXPECT_EQ(d.reports,
                  (QStringList{QStringLiteral("%1:2600:1").arg(ids[0]), QStringLiteral("%1:-1:0").arg(unpriced),
                               QStringLiteral("%1:2600:1").arg(ids[1])}));
        EXPECT_EQ(d.code, 0);
        EXPECT_DOUBLE_EQ(double(c.context.preInputs().Find(ids[1])->ffee), 26.0);
        EXPECT_DOUBLE_EQ(double(c.context.preInputs().Find(unpriced)->ffee), 7.0)
            << "a record without destination stays";
        EXPECT_FALSE(c.context.session().uploadBusy());
    }
    c.server.kill();
    PricingJob job(c.context);
    job.Prepare(ids);
    ASSERT_TRUE(job.Start());
    RecordingPricing d;
    job.DrainUntilEnded(d);
    EXPECT_EQ(d.ends, 1);
    EXPECT_EQ(d.code, -5);
    EXPECT_TRUE(d.reports.isEmpty());
    EXPECT_FALSE(c.context.session().uploadBusy());
}
