#include "preinput/WaybillTidy.h"
#include "app/ScriptedPrompter.h"
#include "preinput/PrintSelection.h"
#include "storage/PreInputFile.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

using namespace quarvel;

TEST(WaybillTidy, CompletesTheFirstPlaceholder)
{
    QByteArray n = "2009XXXXX";
    EXPECT_TRUE(WaybillTidy::Complete(n, 42, false));
    EXPECT_EQ(n, "200900042");
    n = "DE901230XXXXX";
    EXPECT_TRUE(WaybillTidy::Complete(n, 42, false));
    EXPECT_EQ(n, "DE90123000042");
    n = "AXXXXXXB";
    EXPECT_TRUE(WaybillTidy::Complete(n, 1234567, false));
    EXPECT_EQ(n, "A1234567XB") << "what follows the placeholder stays";
    n = "ABXXXXX001";
    EXPECT_TRUE(WaybillTidy::Complete(n, 42, false));
    EXPECT_EQ(n, "AB00042001");
    n = "2009xxXxx";
    EXPECT_FALSE(WaybillTidy::Complete(n, 42, false)) << "the tidy-up wants capitals";
    EXPECT_TRUE(WaybillTidy::Complete(n, 42, true));
    EXPECT_EQ(n, "200900042");
    n = "2009XXXXX";
    EXPECT_FALSE(WaybillTidy::Complete(n, 0, true)) << "no customer id, no change";
    EXPECT_EQ(n, "2009XXXXX");
    // 乆 is 0x81 0x58 in GBK: its trail byte is an X but no character is.
    n = Gbk::fromUnicode(QStringLiteral("乆XXXX1"));
    EXPECT_FALSE(WaybillTidy::Complete(n, 42, true));
    n = QByteArray(20, 'A') + "XXXXX" + QByteArray(6, 'B');
    EXPECT_FALSE(WaybillTidy::Complete(n, 123456, false)) << "a number that would not fit is not cut";
    EXPECT_EQ(n, QByteArray(20, 'A') + "XXXXX" + QByteArray(6, 'B'));
}

TEST(WaybillTidy, TidiesTheStoredRecords)
{
    TempRoot root;
    PreInputFile file;
    ASSERT_EQ(file.OpenRecords(root.file(QStringLiteral("recinput.dat"))), 0);
    const char *numbers[] = {"DE901230XXXXX", "DE90124000007", "DE90125xxxxx", "DE901240XXXXX", "ABXXXXX1", "ABXXXXX2"};
    for (const char *number : numbers) {
        PreInputRecord r{};
        Gbk::setField(r.cnum, sizeof r.cnum, number);
        file.Append(&r);
    }
    EXPECT_TRUE(WaybillTidy::TidyAll(file, 0).isEmpty());
    const QList<WaybillTidy::Change> changes = WaybillTidy::TidyAll(file, 7);
    ASSERT_EQ(changes.size(), 3);
    EXPECT_EQ(changes[0].id, 1);
    EXPECT_EQ(changes[0].number, QStringLiteral("DE90123000007"));
    EXPECT_EQ(Gbk::field(file.Find(4)->cnum), QStringLiteral("DE901240XXXXX")) << "DE90124000007 is another's";
    EXPECT_EQ(Gbk::field(file.Find(5)->cnum), QStringLiteral("AB000071"));
    EXPECT_EQ(Gbk::field(file.Find(6)->cnum), QStringLiteral("AB000072")) << "two numbers stay two";
    EXPECT_EQ(Gbk::field(file.Find(1)->cnum), QStringLiteral("DE90123000007"));
    EXPECT_EQ(Gbk::field(file.Find(3)->cnum), QStringLiteral("DE90125xxxxx"));
}

TEST(PrintSelection, RefusesIncompleteNumbers)
{
    ScriptedPrompter p;
    using Row = PrintSelection::Row;
    EXPECT_EQ(
        PrintSelection::Collect({Row{3, QStringLiteral("DE90123000042")}, Row{1, QStringLiteral("DE9012300")}}, p),
        (QList<int>{3, 1}));
    EXPECT_TRUE(p.shown().isEmpty());
    const QString incomplete = QStringLiteral("选择打印的含有未整理的运单号。\r\n请登入系统,整理运单号后,再选择打印。");
    EXPECT_TRUE(
        PrintSelection::Collect({Row{3, QStringLiteral("DE90123000042")}, Row{4, QStringLiteral("DE901230XXXXX")}}, p)
            .isEmpty());
    EXPECT_EQ(p.lastText(), incomplete);
    EXPECT_TRUE(PrintSelection::Collect({Row{5, QStringLiteral("1234567")}}, p).isEmpty());
    EXPECT_EQ(p.lastText(), incomplete) << "seven characters are too few";
    EXPECT_TRUE(PrintSelection::Collect({}, p).isEmpty());
    EXPECT_EQ(p.lastText(), QStringLiteral("没有在列表中选中要打印面单的记录。"));
}
