#include "print/TemplateDownload.h"
#include "PrintTestSupport.h"
#include "support/TempRoot.h"

#include <QDirIterator>

#include <gtest/gtest.h>

using namespace quarvel;
using printtest::gbk;

TEST(TemplateDownloadReplies, TheListTakesEveryLineEndedByALineFeed)
{
    const auto entries =
        TemplateDownload::ParseList("+3\n0" + gbk("发票") + "\n1" + gbk("面单") + "\r\n9Lbl\n2unfinished");
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].kind, TemplateKind::Invoice);
    EXPECT_EQ(entries[0].name, gbk("发票"));
    EXPECT_EQ(entries[1].kind, TemplateKind::Waybill);
    EXPECT_EQ(entries[1].name, gbk("面单"));
    EXPECT_EQ(entries[2].kind, TemplateKind::Label) << "any other digit is a label";
    EXPECT_TRUE(TemplateDownload::ParseList("+0\n").isEmpty());
    EXPECT_TRUE(TemplateDownload::ParseList(QByteArray()).isEmpty());
}

TEST(TemplateDownloadReplies, NamesThatAreNoFileNamesAndAnEmptyNameEndTheList)
{
    const auto entries = TemplateDownload::ParseList("+\n1../../etc/passwd\n1a/b\n1a\\b\n1" + QByteArray(32, 'n') +
                                                     "\n1ok\n1\n1after-empty\n");
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].name, QByteArray("ok"));
    QByteArray many = "+\n";
    for (int i = 0; i < 600; ++i)
        many += "1t" + QByteArray::number(i) + "\n";
    EXPECT_EQ(TemplateDownload::ParseList(many).size(), TemplateDownload::kMaxEntries);
}

TEST(TemplateDownloadReplies, ATemplateReplyCountsTPlusOneDefinitionBytes)
{
    QByteArray txt;
    QByteArray xls;
    ASSERT_TRUE(TemplateDownload::ParseTemplate("+0\n5\n3\n123456XYZ", txt, xls));
    EXPECT_EQ(txt, QByteArray("123456"));
    EXPECT_EQ(xls, QByteArray("XYZ"));
    EXPECT_FALSE(TemplateDownload::ParseTemplate("+0\n5\n3\n123456XY", txt, xls)) << "cut off";
    EXPECT_FALSE(TemplateDownload::ParseTemplate("+0\n0\n3\n1XYZ", txt, xls));
    EXPECT_FALSE(TemplateDownload::ParseTemplate("+0\n5\n0\n123456", txt, xls));
    EXPECT_FALSE(TemplateDownload::ParseTemplate("-2\n", txt, xls));
    EXPECT_FALSE(TemplateDownload::ParseTemplate("+0\n5\n3", txt, xls));
    EXPECT_FALSE(TemplateDownload::ParseTemplate("+0\n2147483647\n2147483647\nabc", txt, xls));
}

TEST(TemplateDownloadReplies, StoringWritesBothFilesInsideTheFolderOnly)
{
    TempRoot root;
    const QString folder = root.file(QStringLiteral("DATA_MODEL"));
    root.write(QStringLiteral("DATA_MODEL/tab_quick.TXT"), "old");
    ASSERT_TRUE(TemplateDownload::Store(folder, {TemplateKind::Waybill, "QUICK"}, "new", printtest::workbook()));
    EXPECT_EQ(root.read(QStringLiteral("DATA_MODEL/tab_quick.TXT")), QByteArray("new"))
        << "found without regard to case";
    EXPECT_EQ(root.read(QStringLiteral("DATA_MODEL/TAB_QUICK.xls")), printtest::workbook());
    EXPECT_FALSE(TemplateDownload::Store(folder, {TemplateKind::Waybill, "../evil"}, "x", "y"));
    EXPECT_FALSE(TemplateDownload::Store(folder, {TemplateKind::Waybill, "sub/evil"}, "x", "y"));
    QStringList files;
    for (QDirIterator it(root.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << it.next().mid(root.path().size());
    files.sort();
    EXPECT_EQ(files,
              (QStringList{QStringLiteral("DATA_MODEL/TAB_QUICK.xls"), QStringLiteral("DATA_MODEL/tab_quick.TXT")}));
}
