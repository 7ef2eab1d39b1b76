#include "report/DayReconciliation.h"
#include "../ServerData.h"
#include "support/TarvoData.h"
#include "support/UploadCounter.h"
#include "upload/UploadRun.h"

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

void uploadAll(UploadCounter &c, const QList<int> &ids)
{
    RecordingDisplay display;
    UploadRun run(c.context, UploadKind::Shipments);
    run.Prepare(ids);
    ASSERT_TRUE(run.Start());
    run.DrainUntilEnded(display);
}

} // namespace

TEST(DayReconciliation, TheDaysUploadsAreInTheLedgerAndARecordDeletedOnTheServerShowsAsMissing)
{
    UploadCounter c;
    ASSERT_TRUE(c.ready());
    const QList<int> ids = c.addShipments({QStringLiteral("RC1"), QStringLiteral("RC2"), QStringLiteral("RC3")});
    const int refused = c.addShipment(QStringLiteral("D1010000001")); // the demo holds it already
    QList<int> all = ids;
    all << refused;
    uploadAll(c, all);

    const QDate today = QDate::currentDate();
    const UploadLedger::Day ledger = c.context.uploadLedger().Read(today);
    ASSERT_EQ(ledger.entries.size(), 3) << "each accepted record once, the refused one not at all";
    TarvoData data(c.server.dataFile());
    EXPECT_EQ(QString::number(ledger.entries[1].accepted.serverId),
              QString::fromStdString(data.text("SELECT irid FROM client_rec WHERE cnum = 'RC2'")));
    EXPECT_EQ(ledger.entries[0].accepted.account, QStringLiteral("demo"));

    // Deleted on the server after the upload, and one priced there.
    ASSERT_TRUE(data.text("SELECT count(*) FROM client_rec WHERE cnum = 'RC1'") == "1");
    ASSERT_EQ(runSql(c.server.dataFile(), "DELETE FROM client_rec WHERE cnum = 'RC1'"), "");
    ASSERT_EQ(runSql(c.server.dataFile(), "UPDATE client_rec SET ffee = 42.5 WHERE cnum = 'RC3'"), "");
    const int onServerToday = std::stoi(
        data.text("SELECT count(*) FROM client_rec WHERE icid = 101 AND date(dsysdate) = date('now', 'localtime')"));

    DayReport report = DayReport::Build(c.context, today);
    DayReconciliation::Apply(report, c.context.session(), c.context.baseData());
    ASSERT_TRUE(report.server().checked) << report.ReconciliationLine().toStdString();
    EXPECT_EQ(report.server().missingOnServer, QStringList{QStringLiteral("RC1")});
    EXPECT_FALSE(report.server().unknownLocally.contains(QStringLiteral("RC2")));
    EXPECT_EQ(report.server().count, onServerToday);
    EXPECT_DOUBLE_EQ(report.uploaded().freight, 42.5) << "the freight the server priced counts";
    EXPECT_EQ(report.refusals().size(), 0) << "the refused record keyed for another day is not this day's";
}
