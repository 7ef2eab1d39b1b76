#include "scan/ScanEntry.h"

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

// Types `n` keys `gap` milliseconds apart from `start`; returns the time of the last.
qint64 keys(ScanEntry &entry, qint64 start, int n, qint64 gap)
{
    qint64 at = start;
    for (int i = 0; i < n; ++i, at += gap)
        EXPECT_TRUE(entry.Key(at));
    return at - gap;
}

TEST(ScanEntry, AScannerBurstIsScannedAndAPersonTypes)
{
    ScanEntry scanner;
    const qint64 end = keys(scanner, 1000, 13, 2);
    EXPECT_TRUE(scanner.Enter(end + 2));
    EXPECT_TRUE(scanner.scanned());
    EXPECT_FALSE(scanner.glued());
    EXPECT_TRUE(scanner.Refusal(13).isEmpty());
    EXPECT_FALSE(scanner.Refusal(24).isEmpty()) << "scanned after a number the field showed already";
    EXPECT_TRUE(scanner.inBurst(end + 20));
    EXPECT_FALSE(scanner.inBurst(end + 200));

    ScanEntry person;
    keys(person, 1000, 13, 140);
    EXPECT_FALSE(person.scanned());
    EXPECT_FALSE(person.glued());
    EXPECT_TRUE(person.Refusal(20).isEmpty()) << "a person's entry is never glued";

    // A scanned number that the operator completes by hand is typed.
    ScanEntry mixed;
    const qint64 burst = keys(mixed, 0, 10, 3);
    keys(mixed, burst + 400, 2, 200);
    EXPECT_FALSE(mixed.scanned());
    EXPECT_FALSE(mixed.glued());

    ScanEntry tooShort;
    keys(tooShort, 0, 3, 1);
    EXPECT_FALSE(tooShort.scanned()) << "three characters are no scanned number";
}

TEST(ScanEntry, TwoBurstsWithoutEnterAreGluedNumbers)
{
    ScanEntry entry;
    const qint64 first = keys(entry, 0, 13, 2);
    keys(entry, first + 150, 13, 2);
    EXPECT_TRUE(entry.glued());
    EXPECT_FALSE(entry.scanned());
    EXPECT_EQ(entry.Refusal(26),
              QStringLiteral("[运单号]是两次扫描连在一起的号码（前一次扫描没有回车），请重新扫描。"));
    entry.Clear();
    EXPECT_FALSE(entry.glued());
    EXPECT_EQ(entry.characters(), 0);
}

TEST(ScanEntry, TheRestOfARefusedBurstIsDropped)
{
    ScanEntry entry;
    const qint64 junk = keys(entry, 0, 31, 2);
    entry.RefuseBurst(junk);
    qint64 at = junk;
    int dropped = 0;
    for (int i = 0; i < 469; ++i) // the rest of 500 characters of junk
        dropped += entry.Key(at += 2) ? 0 : 1;
    EXPECT_EQ(dropped, 469);
    EXPECT_FALSE(entry.Enter(at + 3)) << "the junk's own Enter saves nothing";
    EXPECT_EQ(entry.characters(), 0);
    // After a pause the next scan counts again, whole.
    const qint64 next = keys(entry, at + 300, 13, 2);
    EXPECT_TRUE(entry.Enter(next + 2));
    EXPECT_TRUE(entry.scanned());
    EXPECT_EQ(entry.characters(), 13);
}

} // namespace
