#include "upload/UploadLedger.h"
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"
#include "upload/UploadJournal.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

using namespace quarvel;

namespace {

const QDate kDay(2026, 3, 9);

UploadLedgerEntry shipment(int id, const QString &number, double fee, QTime at = QTime(10, 15))
{
    PreInputRecord r{};
    r.iid = id;
    r.ddate = {2026, 3, 9};
    r.npayway = 1;
    r.npieces = 2;
    r.fweight = 1.25;
    r.ffee = fee;
    Gbk::setField(r.cnum, number);
    Gbk::setField(r.cdes, QStringLiteral("广东广州"));
    Gbk::setField(r.creceiverprov, QStringLiteral("广东"));
    Gbk::setField(r.cemskind, QStringLiteral("特快专递"));
    return UploadLedgerEntry::OfShipment(r, 0xabc, {QDateTime(kDay, at), 500 + id, QStringLiteral("demo")});
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void appendBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(bytes);
}

} // namespace

TEST(UploadLedger, LinesComeBackAsWrittenAndEachAcceptanceOnce)
{
    TempRoot root;
    UploadLedger ledger(root.file(UploadLedger::folderName()));
    const UploadLedgerEntry first = shipment(1, QStringLiteral("L1"), 12.5);
    UploadLedgerEntry late = shipment(2, QStringLiteral("L2"), 8, QTime(23, 59, 59));
    late.accepted.at = QDateTime(kDay.addDays(1), QTime(0, 0, 1));
    ASSERT_TRUE(ledger.Record({first, late}));
    // The journal's recovery after a kill between the line and the delete.
    ASSERT_TRUE(ledger.Record({first}));

    const UploadLedger::Day day = ledger.Read(kDay);
    EXPECT_TRUE(day.warnings.isEmpty());
    ASSERT_EQ(day.entries.size(), 1) << "the second acceptance is filed under its own day";
    const UploadLedgerEntry &e = day.entries.first();
    EXPECT_EQ(e.number, QStringLiteral("L1"));
    EXPECT_EQ(e.accepted.serverId, 501);
    EXPECT_EQ(e.accepted.account, QStringLiteral("demo"));
    EXPECT_EQ(e.accepted.at, QDateTime(kDay, QTime(10, 15)));
    EXPECT_EQ(e.destination, QStringLiteral("广东广州"));
    EXPECT_EQ(e.province, QStringLiteral("广东"));
    EXPECT_EQ(e.expressKind, QStringLiteral("特快专递"));
    EXPECT_EQ(e.pieces, 2);
    EXPECT_DOUBLE_EQ(e.weight, 1.25);
    EXPECT_DOUBLE_EQ(e.fee, 12.5);
    EXPECT_EQ(ledger.Read(kDay.addDays(1)).entries.size(), 1);
    EXPECT_EQ(fileBytes(ledger.FileOf(kDay)).count('\n'), 1) << "written once";
}

TEST(UploadLedger, DamagedLinesAreSkippedWithTheFileNamedAndTheRestCounts)
{
    TempRoot root;
    UploadLedger ledger(root.file(UploadLedger::folderName()));
    ASSERT_TRUE(ledger.Record({shipment(1, QStringLiteral("D1"), 10)}));
    const QString path = ledger.FileOf(kDay);
    // A line whose fee was changed by hand fails its check; a kill left the
    // last line half written.
    QByteArray forged = shipment(2, QStringLiteral("D2"), 10).Line();
    forged.replace("10.00", "99.00");
    const QByteArray whole = shipment(3, QStringLiteral("D3"), 30).Line();
    appendBytes(path, forged + whole + shipment(4, QStringLiteral("D4"), 40).Line().left(40));

    UploadLedger::Day day = ledger.Read(kDay);
    ASSERT_EQ(day.entries.size(), 2);
    EXPECT_EQ(day.entries[0].number, QStringLiteral("D1"));
    EXPECT_EQ(day.entries[1].number, QStringLiteral("D3"));
    ASSERT_EQ(day.warnings.size(), 2);
    EXPECT_TRUE(day.warnings[0].contains(path)) << day.warnings[0].toStdString();
    EXPECT_TRUE(day.warnings[0].contains(QStringLiteral("第 2 行")));
    EXPECT_TRUE(day.warnings[1].contains(QStringLiteral("第 4 行")));

    // The next acceptance starts on a line of its own after the cut one.
    ASSERT_TRUE(ledger.Record({shipment(5, QStringLiteral("D5"), 50)}));
    day = ledger.Read(kDay);
    ASSERT_EQ(day.entries.size(), 3);
    EXPECT_EQ(day.entries[2].number, QStringLiteral("D5"));
}

TEST(UploadLedger, DaysPastKeepingAreDeletedOthersStay)
{
    TempRoot root;
    UploadLedger ledger(root.file(UploadLedger::folderName()), 400);
    const QDate today(2026, 12, 8);
    UploadLedgerEntry old = shipment(1, QStringLiteral("P1"), 1);
    old.accepted.at = QDateTime(today.addDays(-401), QTime(9, 0));
    UploadLedgerEntry kept = shipment(2, QStringLiteral("P2"), 1);
    kept.accepted.at = QDateTime(today.addDays(-400), QTime(9, 0));
    ASSERT_TRUE(ledger.Record({old, kept}));
    QFile other(root.file(UploadLedger::folderName() + QStringLiteral("/notes.txt")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();

    EXPECT_EQ(ledger.Prune(today), 1);
    EXPECT_FALSE(QFile::exists(ledger.FileOf(old.accepted.at.date())));
    EXPECT_TRUE(QFile::exists(ledger.FileOf(kept.accepted.at.date())));
    EXPECT_TRUE(other.exists()) << "only the ledger's own files go";
}

namespace {

// A counter that can be dropped without an orderly end and started again.
struct Counter {
    TempRoot root;
    ScriptedPrompter prompter;
    std::unique_ptr<ClientContext> context;

    Counter() { restart(); }
    void restart()
    {
        context.reset();
        context = std::make_unique<ClientContext>(root.path());
        EXPECT_TRUE(context->Start(prompter));
    }
    ClientContext &c() { return *context; }
    int add(const QString &number)
    {
        PreInputRecord r{};
        r.ddate = {2026, 3, 9};
        r.npieces = 1;
        r.fweight = 2.5;
        Gbk::setField(r.cnum, number);
        Gbk::setField(r.cdes, QStringLiteral("北京"));
        c().preInputs().Append(&r);
        c().FlushRecords();
        return r.iid;
    }
    quint64 digest(int id)
    {
        const PreInputRecord *r = c().preInputs().Find(id);
        return UploadJournal::Digest(QByteArray(reinterpret_cast<const char *>(r), sizeof *r));
    }
    // The worker's part of a send the server accepted, then a kill.
    void acceptedThenKilled(int id)
    {
        c().uploadJournal().setAccount(QStringLiteral("demo"));
        ASSERT_TRUE(c().uploadJournal().Sending(UploadKind::Shipments, id, digest(id)));
        c().uploadJournal().Answered(UploadKind::Shipments, id, digest(id), 700 + id);
    }
    QList<UploadLedgerEntry> today() { return c().uploadLedger().Read(QDate::currentDate()).entries; }
};

} // namespace

TEST(UploadLedger, TheJournalsRecoveryWritesTheLineOfAKilledAcceptanceOnce)
{
    Counter k;
    const int beforeLine = k.add(QStringLiteral("K1"));
    const int afterLine = k.add(QStringLiteral("K2"));
    const int stays = k.add(QStringLiteral("K3"));
    k.acceptedThenKilled(beforeLine);
    k.acceptedThenKilled(afterLine);
    // K2's run wrote its line, then died before deleting the record.
    const UploadLedgerEntry::Acceptance a = *k.c().uploadJournal().acceptance(UploadKind::Shipments, afterLine);
    ASSERT_TRUE(k.c().uploadLedger().Record(
        {UploadLedgerEntry::OfShipment(*k.c().preInputs().Find(afterLine), k.digest(afterLine), a)}));

    k.restart();
    QList<UploadLedgerEntry> lines = k.today();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].number, QStringLiteral("K2"));
    EXPECT_EQ(lines[1].number, QStringLiteral("K1"));
    EXPECT_EQ(lines[1].accepted.serverId, 700 + beforeLine);
    EXPECT_EQ(lines[1].accepted.account, QStringLiteral("demo"));
    EXPECT_DOUBLE_EQ(lines[1].weight, 2.5);
    EXPECT_EQ(k.c().preInputs().Find(beforeLine), nullptr);
    EXPECT_EQ(k.c().preInputs().Find(afterLine), nullptr);
    EXPECT_NE(k.c().preInputs().Find(stays), nullptr);

    // Another start finds nothing left to finish and writes nothing more.
    const QByteArray before = fileBytes(k.c().uploadLedger().FileOf(QDate::currentDate()));
    k.restart();
    EXPECT_EQ(fileBytes(k.c().uploadLedger().FileOf(QDate::currentDate())), before);
}

TEST(UploadLedger, ARecordWhoseLineCannotBeWrittenStaysForTheNextStart)
{
    Counter k;
    const int id = k.add(QStringLiteral("W1"));
    k.acceptedThenKilled(id);
    // The ledger's folder cannot be made: a file stands in its way.
    const QString folder = k.root.file(UploadLedger::folderName());
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    k.restart();
    EXPECT_NE(k.c().preInputs().Find(id), nullptr) << "no record leaves without its line";
    EXPECT_TRUE(k.c().uploadJournal().accepted(UploadKind::Shipments, id));

    ASSERT_TRUE(QFile::remove(folder));
    k.restart();
    EXPECT_EQ(k.c().preInputs().Find(id), nullptr);
    ASSERT_EQ(k.today().size(), 1);
    EXPECT_EQ(k.today().first().number, QStringLiteral("W1"));
}
