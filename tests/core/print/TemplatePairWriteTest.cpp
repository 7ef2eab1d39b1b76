#include "print/TemplatePairWrite.h"
#include "support/TempRoot.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

QStringList entries(const TempRoot &root)
{
    return QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// The definition's place taken by a folder after both files were written
// aside: its rename fails when the pair is put in place.
void blockDefinition(const TempRoot &root)
{
    QFile::remove(root.file(QStringLiteral("T.txt")));
    ASSERT_TRUE(QDir().mkpath(root.file(QStringLiteral("T.txt/inside"))));
}

} // namespace

TEST(TemplatePairWrite, BothFilesChangeOnlyWhenCommitted)
{
    TempRoot root;
    root.write(QStringLiteral("T.txt"), "old definition");
    root.write(QStringLiteral("T.xls"), "old sheet");
    TemplatePairWrite pair(root.file(QStringLiteral("T.txt")), root.file(QStringLiteral("T.xls")));
    ASSERT_TRUE(pair.Prepare("new definition", "new sheet"));
    EXPECT_EQ(root.read(QStringLiteral("T.txt")), QByteArray("old definition"));
    EXPECT_EQ(root.read(QStringLiteral("T.xls")), QByteArray("old sheet"));
    ASSERT_TRUE(pair.Commit());
    EXPECT_EQ(root.read(QStringLiteral("T.txt")), QByteArray("new definition"));
    EXPECT_EQ(root.read(QStringLiteral("T.xls")), QByteArray("new sheet"));
    EXPECT_EQ(entries(root), (QStringList{QStringLiteral("T.txt"), QStringLiteral("T.xls")}));
    EXPECT_FALSE(pair.Commit()) << "a pair goes in once";
}

TEST(TemplatePairWrite, ADefinitionThatCannotGoInPutsTheOldSpreadsheetBack)
{
    TempRoot root;
    root.write(QStringLiteral("T.txt"), "old definition");
    root.write(QStringLiteral("T.xls"), "old sheet");
    TemplatePairWrite pair(root.file(QStringLiteral("T.txt")), root.file(QStringLiteral("T.xls")));
    ASSERT_TRUE(pair.Prepare("new definition", "new sheet"));
    blockDefinition(root);
    EXPECT_FALSE(pair.Commit());
    EXPECT_EQ(root.read(QStringLiteral("T.xls")), QByteArray("old sheet"));
    EXPECT_EQ(entries(root), (QStringList{QStringLiteral("T.txt"), QStringLiteral("T.xls")})) << "no file left aside";
}

TEST(TemplatePairWrite, ANewSpreadsheetWithoutItsDefinitionIsRemoved)
{
    TempRoot root;
    TemplatePairWrite pair(root.file(QStringLiteral("T.txt")), root.file(QStringLiteral("T.xls")));
    ASSERT_TRUE(pair.Prepare("new definition", "new sheet"));
    blockDefinition(root);
    EXPECT_FALSE(pair.Commit());
    EXPECT_EQ(entries(root), QStringList{QStringLiteral("T.txt")}) << "only the folder in the definition's place";
}

TEST(TemplatePairWrite, ASpreadsheetThatCannotBeWrittenLeavesTheDefinitionAlone)
{
    TempRoot root;
    root.write(QStringLiteral("T.txt"), "old definition");
    ASSERT_TRUE(QDir().mkpath(root.file(QStringLiteral("T.xls"))));
    {
        TemplatePairWrite pair(root.file(QStringLiteral("T.txt")), root.file(QStringLiteral("T.xls")));
        EXPECT_FALSE(pair.Prepare("new definition", "new sheet"));
        EXPECT_FALSE(pair.Commit());
    }
    EXPECT_EQ(root.read(QStringLiteral("T.txt")), QByteArray("old definition"));
    EXPECT_EQ(entries(root), (QStringList{QStringLiteral("T.txt"), QStringLiteral("T.xls")}));
}
