#include "print/PrintLedger.h"
#include "PrintTestSupport.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <thread>

using namespace quarvel;

namespace {

PrintLedger::Entry entry(const QString &waybill, const QString &pdf = QStringLiteral("/tmp/x.pdf"))
{
    return {0, {}, QStringLiteral("面单"), waybill, QStringLiteral("默认面单"), 1, pdf};
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
