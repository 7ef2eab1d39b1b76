#include "print/PrintLedger.h"
#include "PrintTestSupport.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace quarvel;

namespace {

PrintLedger::Entry entry(const QString &waybill, const QString &pdf = QStringLiteral("/tmp/x.pdf"))
{
    return {0, {}, QStringLiteral("面单"), waybill, QStringLiteral("默认面单"), 1, pdf, {}};
}

// The numbers the ledger holds, oldest first.
QList<int> numbersOf(const QList<PrintLedger::Entry> &entries)
{
    QList<int> numbers;
    for (const PrintLedger::Entry &e : entries)
        numbers.append(e.number);
    return numbers;
}

// A writer that appends until it is killed.
pid_t appendForever(const QString &path, int keep)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        PrintLedger own(path, keep);
        for (;;)
            own.Append(entry(QStringLiteral("K")));
    }
    return pid;
}

} // namespace

TEST(PrintLedger, NumbersPrintoutsAndListsTheNewestFirst)
{
    TempRoot root;
    PrintLedger ledger(root.file(QStringLiteral("DATA_SYS/printlog.txt")));
    EXPECT_TRUE(ledger.Recent().isEmpty());
    EXPECT_EQ(ledger.Append(entry(QStringLiteral("A1"))), 1);
    EXPECT_EQ(ledger.Append(entry(QStringLiteral("A2"))), 2);
    EXPECT_EQ(ledger.Append(entry(QStringLiteral("A3"))), 3);
    const QList<PrintLedger::Entry> recent = ledger.Recent(2);
    ASSERT_EQ(recent.size(), 2);
    EXPECT_EQ(recent[0].waybill, QStringLiteral("A3"));
    EXPECT_EQ(recent[1].number, 2);
    EXPECT_TRUE(recent[0].time.isValid());
    PrintLedger::Entry found;
    ASSERT_TRUE(ledger.Find(1, found));
    EXPECT_EQ(found.templateName, QStringLiteral("默认面单"));
    EXPECT_FALSE(ledger.Find(9, found));
    // Another ledger on the same file (the command line beside the window) goes on counting.
    EXPECT_EQ(PrintLedger(ledger.path()).Append(entry(QStringLiteral("A4"))), 4);
}

TEST(PrintLedger, TabsAndLineBreaksCannotSplitALine)
{
    TempRoot root;
    PrintLedger ledger(root.file(QStringLiteral("printlog.txt")));
    ledger.Append(entry(QStringLiteral("A\tB\nC"), QStringLiteral("/tmp/a\tb.pdf")));
    ledger.Append(entry(QStringLiteral("D")));
    const QList<PrintLedger::Entry> all = ledger.Recent();
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[1].waybill, QStringLiteral("A B C"));
    EXPECT_EQ(all[1].pdf, QStringLiteral("/tmp/a b.pdf"));
}

TEST(PrintLedger, DamagedLinesAreSkippedAndAnUnwritableFileRecordsNothing)
{
    TempRoot root;
    root.write(QStringLiteral("printlog.txt"), "garbage\n\n1\tx\n");
    PrintLedger ledger(root.file(QStringLiteral("printlog.txt")));
    EXPECT_EQ(ledger.Append(entry(QStringLiteral("A"))), 1);
    EXPECT_EQ(ledger.Recent().size(), 1);
    EXPECT_EQ(PrintLedger(root.file(QStringLiteral("printlog.txt/sub"))).Append(entry(QStringLiteral("B"))), 0);
}

TEST(PrintLedger, ConcurrentWritersGetDistinctNumbers)
{
    TempRoot root;
    const QString path = root.file(QStringLiteral("printlog.txt"));
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([path] {
            PrintLedger own(path);
            for (int i = 0; i < 25; ++i)
                own.Append(entry(QStringLiteral("W")));
        });
    for (std::thread &w : writers)
        w.join();
    QSet<int> numbers;
    for (const PrintLedger::Entry &e : PrintLedger(path).Recent(1000))
        numbers.insert(e.number);
    EXPECT_EQ(numbers.size(), 100);
    EXPECT_TRUE(numbers.contains(100));
}

TEST(PrintLedger, ALongLedgerIsRewrittenWithTheNewestPrintoutsAndMarkedRemovals)
{
    TempRoot root;
    const QString path = root.file(QStringLiteral("DATA_SYS/printlog.txt"));
    PrintLedger ledger(path, 3);
    for (int i = 1; i <= 6; ++i)
        ASSERT_EQ(ledger.Append(entry(QStringLiteral("W%1").arg(i))), i);
    EXPECT_EQ(numbersOf(ledger.All()), (QList<int>{1, 2, 3, 4, 5, 6})) << "trimmed only past twice the kept lines";
    EXPECT_EQ(ledger.Append(entry(QStringLiteral("W7"))), 7);
    EXPECT_EQ(numbersOf(ledger.All()), (QList<int>{5, 6, 7}));
    EXPECT_EQ(ledger.Append(entry(QStringLiteral("W8"))), 8) << "numbers go on after a trim";

    const QDateTime when(QDate(2026, 1, 2), QTime(3, 4, 5));
    ASSERT_TRUE(ledger.MarkRemoved({6, 99}, when));
    PrintLedger::Entry marked;
    ASSERT_TRUE(ledger.Find(6, marked));
    EXPECT_EQ(marked.removed, when);
    EXPECT_EQ(marked.waybill, QStringLiteral("W6"));
    ASSERT_TRUE(ledger.Find(7, marked));
    EXPECT_FALSE(marked.removed.isValid());
    EXPECT_EQ(ledger.Append(entry(QStringLiteral("W9"))), 9);
    EXPECT_EQ(numbersOf(ledger.All()), (QList<int>{5, 6, 7, 8, 9}));
    EXPECT_EQ(QDir(root.file(QStringLiteral("DATA_SYS"))).entryList(QDir::Files),
              (QStringList{QStringLiteral("printlog.txt"), QStringLiteral("printlog.txt.lock")}))
        << "no copy left beside it";

    QString error;
    PrintLedger unreachable(root.file(QStringLiteral("DATA_SYS/printlog.txt/x")));
    EXPECT_FALSE(unreachable.MarkRemoved({1}, when, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("printlog.txt/x"))) << error.toStdString();
}

TEST(PrintLedger, AWriterKilledAtAnyMomentLeavesTheLedgerWholeAcrossItsTrims)
{
    TempRoot root;
    const QString path = root.file(QStringLiteral("DATA_SYS/printlog.txt"));
    constexpr int keep = 20;
    PrintLedger ledger(path, keep);
    for (int i = 0; i < 2 * keep - 1; ++i)
        ASSERT_GT(ledger.Append(entry(QStringLiteral("P"))), 0);
    int trims = 0;
    qsizetype before = ledger.All().size();
    for (int round = 0; round < 60; ++round) {
        const pid_t writer = appendForever(path, keep);
        ASSERT_GT(writer, 0);
        ::usleep(useconds_t(QRandomGenerator::global()->bounded(300, 8000)));
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);
        const QList<int> numbers = numbersOf(ledger.All());
        ASSERT_GE(numbers.size(), keep) << "round " << round;
        for (qsizetype i = 1; i < numbers.size(); ++i)
            ASSERT_EQ(numbers[i], numbers[i - 1] + 1) << "round " << round;
        trims += numbers.size() < before ? 1 : 0;
        before = numbers.size();
    }
    EXPECT_GT(trims, 0) << "the kills fell around trims";
    const int after = ledger.Append(entry(QStringLiteral("after")));
    ASSERT_GT(after, 0);
    ASSERT_TRUE(ledger.MarkRemoved({after}, QDateTime::currentDateTime()));
    EXPECT_TRUE(QDir(root.file(QStringLiteral("DATA_SYS"))).entryList({QStringLiteral("*.new-*")}).isEmpty())
        << "a copy a killed writer left is gone once the ledger is rewritten again";
}
