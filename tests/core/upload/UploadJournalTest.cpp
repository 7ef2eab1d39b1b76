#include "upload/UploadJournal.h"
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

#include <memory>

using namespace quarvel;

namespace {

constexpr UploadKind kShip = UploadKind::Shipments;
constexpr UploadKind kScan = UploadKind::Scans;

template <class R> quint64 digestOf(const R *r)
{
    return UploadJournal::Digest(QByteArray(reinterpret_cast<const char *>(r), sizeof *r));
}

// A counter folder whose context can be dropped without an orderly end and
// started again, as after a kill.
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
    UploadJournal &journal() { return context->uploadJournal(); }
    QString journalPath() const { return root.file(UploadJournal::fileName()); }

    int addShipment(const QString &number)
    {
        PreInputRecord r{};
        Gbk::setField(r.cnum, number);
        c().preInputs().Append(&r);
        GoodsRecord g{};
        g.iparent = r.iid;
        c().goods().Append(&g);
        WeightRecord w{};
        w.iparent = r.iid;
        c().weights().Append(&w);
        c().FlushRecords();
        return r.iid;
    }
    int linesOf(int id)
    {
        int n = 0;
        for (int i = 0; i < c().goods().GetCount(); ++i)
            n += c().goods().At(i)->iparent == id ? 1 : 0;
        for (int i = 0; i < c().weights().GetCount(); ++i)
            n += c().weights().At(i)->iparent == id ? 1 : 0;
        return n;
    }

    quint64 digest(int id) { return digestOf(c().preInputs().Find(id)); }

    // The worker's part of one send: marked, then answered.
    void send(int id, int status)
    {
        ASSERT_TRUE(journal().Sending(kShip, id, digest(id)));
        journal().Answered(kShip, id, digest(id), status);
    }
};

} // namespace

TEST(UploadJournal, WhatARunLeftIsReadBack)
{
    Counter k;
    const int refused = k.addShipment(QStringLiteral("J1"));
    const int unanswered = k.addShipment(QStringLiteral("J2"));
    const int accepted = k.addShipment(QStringLiteral("J3"));
    const int twice = k.addShipment(QStringLiteral("J4"));
    k.send(refused, -1);
    ASSERT_TRUE(k.journal().Sending(kShip, unanswered, k.digest(unanswered)));
    EXPECT_FALSE(k.journal().inDoubt(kShip, unanswered)) << "on its way, not yet in doubt";
    // Sent once without an answer, then again with a refusal: the first may
    // still have been stored.
    ASSERT_TRUE(k.journal().Sending(kShip, twice, k.digest(twice)));
    k.send(twice, -1);
    EXPECT_TRUE(k.journal().inDoubt(kShip, twice));
    ASSERT_TRUE(k.journal().Sending(kShip, accepted, k.digest(accepted)));
    // A kill while the acceptance line was being written: that line is cut.
    {
        QFile f(k.journalPath());
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("A 0 " + QByteArray::number(accepted) + " 12");
    }

    UploadJournal read(k.journalPath());
    read.Load();
    EXPECT_FALSE(read.inDoubt(kShip, refused));
    EXPECT_TRUE(read.inDoubt(kShip, unanswered));
    EXPECT_TRUE(read.inDoubt(kShip, twice));
    EXPECT_TRUE(read.inDoubt(kShip, accepted)) << "the cut line does not count, the mark before it does";
    EXPECT_FALSE(read.accepted(kShip, accepted));
    EXPECT_FALSE(read.inDoubt(kScan, unanswered)) << "kinds are kept apart";

    // Garbage lines are skipped, and a later acceptance ends the doubt.
    {
        QFile f(k.journalPath());
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("\nnonsense\nA x 1 2\nS 0 -4\nA 0 " + QByteArray::number(accepted) + " ff\n");
    }
    read.Load();
    EXPECT_TRUE(read.accepted(kShip, accepted));
    EXPECT_FALSE(read.inDoubt(kShip, accepted));
}

TEST(UploadJournal, TheNextStartFinishesAcceptedRecords)
{
    Counter k;
    const int plain = k.addShipment(QStringLiteral("F1"));
    const int edited = k.addShipment(QStringLiteral("F2"));
    const int halfDeleted = k.addShipment(QStringLiteral("F3"));
    const int untouched = k.addShipment(QStringLiteral("F4"));
    const int lost = k.addShipment(QStringLiteral("F5"));
    CheckRecord scan{};
    k.c().checks().Append(&scan);
    for (int id : {plain, edited, halfDeleted})
        k.send(id, 100 + id);
    ASSERT_TRUE(k.journal().Sending(kShip, lost, k.digest(lost)));
    ASSERT_TRUE(k.journal().Sending(kScan, scan.iid, digestOf(k.c().checks().Find(scan.iid))));
    k.journal().Answered(kScan, scan.iid, digestOf(k.c().checks().Find(scan.iid)), 9);
    // Edited after the server took it: the edit is kept. A kill between the
    // record's delete and its lines' delete left the lines.
    const quint64 held = k.digest(edited);
    Gbk::setField(k.c().preInputs().Find(edited)->cremark, QStringLiteral("改过"));
    k.c().preInputs().DeleteById(halfDeleted);
    k.c().FlushRecords();

    k.restart();
    EXPECT_EQ(k.c().preInputs().Find(plain), nullptr);
    EXPECT_EQ(k.linesOf(plain), 0);
    EXPECT_EQ(k.linesOf(halfDeleted), 0);
    ASSERT_NE(k.c().preInputs().Find(edited), nullptr);
    EXPECT_EQ(k.linesOf(edited), 2);
    EXPECT_TRUE(k.journal().inDoubt(kShip, edited)) << "the server holds its older bytes";
    EXPECT_EQ(k.journal().doubtDigest(kShip, edited), held);
    EXPECT_NE(k.c().preInputs().Find(untouched), nullptr);
    EXPECT_EQ(k.linesOf(untouched), 2);
    EXPECT_TRUE(k.journal().inDoubt(kShip, lost));
    EXPECT_EQ(k.c().checks().GetCount(), 0);

    // What stays open is all the rewritten journal holds; once the records
    // are gone the journal goes too.
    UploadJournal read(k.journalPath());
    read.Load();
    EXPECT_FALSE(read.accepted(kShip, plain));
    EXPECT_TRUE(read.inDoubt(kShip, edited));
    EXPECT_TRUE(read.inDoubt(kShip, lost));
    k.c().preInputs().DeleteById(edited);
    k.c().preInputs().DeleteById(lost);
    k.journal().Settle(k.c());
    EXPECT_FALSE(QFile::exists(k.journalPath()));
}

TEST(UploadJournal, ReadOnlyStartsLeaveItAlone)
{
    Counter k;
    const int id = k.addShipment(QStringLiteral("R1"));
    k.send(id, 5);
    k.context.reset();
    ClientContext reader(k.root.path());
    ASSERT_TRUE(reader.Start(k.prompter, RecordFile::Mode::ReadOnly));
    EXPECT_NE(reader.preInputs().Find(id), nullptr) << "a listing beside the window deletes nothing";
    EXPECT_TRUE(QFile::exists(k.journalPath()));
}

TEST(UploadJournal, AJournalThatCannotBeWrittenRefusesTheSend)
{
    Counter k;
    const int id = k.addShipment(QStringLiteral("W1"));
    QDir(k.root.file(QStringLiteral("DATA_SYS"))).removeRecursively();
    UploadJournal orphan(k.root.file(UploadJournal::fileName()));
    EXPECT_FALSE(orphan.Sending(kShip, id, k.digest(id)));
}

TEST(UploadJournal, ADoubtKeepsTheBytesOfItsSend)
{
    Counter k;
    const int one = k.addShipment(QStringLiteral("G1"));
    const int edited = k.addShipment(QStringLiteral("G2"));
    const quint64 sent = k.digest(one);
    ASSERT_TRUE(k.journal().Sending(kShip, one, sent));
    ASSERT_TRUE(k.journal().Sending(kShip, edited, k.digest(edited)));
    EXPECT_EQ(k.journal().doubtDigest(kShip, one), std::nullopt) << "on its way, not in doubt";
    // Sent, edited, sent again, neither answered: the server may hold either.
    Gbk::setField(k.c().preInputs().Find(edited)->cremark, QStringLiteral("改过"));
    ASSERT_TRUE(k.journal().Sending(kShip, edited, k.digest(edited)));

    k.restart();
    EXPECT_EQ(k.journal().doubtDigest(kShip, one), sent);
    EXPECT_TRUE(k.journal().inDoubt(kShip, edited));
    EXPECT_EQ(k.journal().doubtDigest(kShip, edited), std::nullopt);
    // The start rewrote the journal: the doubt line carries its digest.
    QFile f(k.journalPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("D 0 " + QByteArray::number(one) + ' ' + QByteArray::number(sent, 16) + '\n'));
    f.close();

    // Sent once more with the same bytes and refused: still the same doubt.
    k.send(one, -2);
    EXPECT_EQ(k.journal().doubtDigest(kShip, one), sent);
    UploadJournal read(k.journalPath());
    read.Load();
    EXPECT_EQ(read.doubtDigest(kShip, one), sent);
    // The server showed it holds no such record: the doubt ends, for good.
    k.journal().Cleared(kShip, one);
    EXPECT_FALSE(k.journal().inDoubt(kShip, one));
    read.Load();
    EXPECT_FALSE(read.inDoubt(kShip, one));
    EXPECT_TRUE(read.inDoubt(kShip, edited));
}

TEST(UploadJournal, OlderJournalsWithoutDigestsStillRead)
{
    Counter k;
    const int unanswered = k.addShipment(QStringLiteral("O1"));
    const int doubted = k.addShipment(QStringLiteral("O2"));
    const int accepted = k.addShipment(QStringLiteral("O3"));
    {
        QFile f(k.journalPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("S 0 " + QByteArray::number(unanswered) + "\nD 0 " + QByteArray::number(doubted) + "\nS 0 " +
                QByteArray::number(accepted) + "\nA 0 " + QByteArray::number(accepted) + ' ' +
                QByteArray::number(k.digest(accepted), 16) + '\n');
    }
    k.restart();
    EXPECT_TRUE(k.journal().inDoubt(kShip, unanswered));
    EXPECT_TRUE(k.journal().inDoubt(kShip, doubted));
    EXPECT_EQ(k.journal().doubtDigest(kShip, unanswered), std::nullopt) << "the bytes sent are not known";
    EXPECT_EQ(k.journal().doubtDigest(kShip, doubted), std::nullopt);
    EXPECT_EQ(k.c().preInputs().Find(accepted), nullptr) << "the acceptance is finished as before";
    // What it wrote back reads the same.
    UploadJournal read(k.journalPath());
    read.Load();
    EXPECT_TRUE(read.inDoubt(kShip, doubted));
    EXPECT_EQ(read.doubtDigest(kShip, doubted), std::nullopt);
}
