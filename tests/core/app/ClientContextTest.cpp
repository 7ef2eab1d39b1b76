#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "support/TempRoot.h"

#include <QFileInfo>

using namespace quarvel;

namespace {

const QString kContactsFailed =
    QStringLiteral("收/发件人数据文件打开失败\r\n请检查是否共享冲突!\r\n程序将不会被启动！\r\n");

} // namespace

TEST(ClientContext, StartMakesTheWorkFoldersAndOpensTheFiveFiles)
{
    TempRoot root;
    ScriptedPrompter p;
    {
        ClientContext context(root.path());
        ASSERT_TRUE(context.Start(p));
        EXPECT_TRUE(p.shown().isEmpty());
        for (const char *folder : {"DATA", "DATA_SYS", "DATA_TEMP", "DATA_MODEL"})
            EXPECT_TRUE(QFileInfo(root.file(QString::fromLatin1(folder))).isDir()) << folder;
        EXPECT_EQ(context.path(QStringLiteral("DATA/x")), root.path() + QStringLiteral("DATA/x"));
        PreInputRecord r{};
        context.preInputs().Append(&r);
        EXPECT_EQ(context.contacts().recordSize(), 948);
        EXPECT_EQ(context.checks().recordSize(), 936);
    }
    for (const auto &[name, size] : {std::pair{"rsdata.dat", 948},
                                     {"recinput.dat", 2396},
                                     {"recgoods.dat", 84},
                                     {"recweight.dat", 97},
                                     {"reccheck.dat", 936}})
        EXPECT_EQ(QFileInfo(root.file(QStringLiteral("DATA/") + QString::fromLatin1(name))).size(), 256 + 200 * size)
            << name;
    ClientContext again(root.path());
    ASSERT_TRUE(again.Start(p));
    EXPECT_EQ(again.preInputs().GetCount(), 1);
}

TEST(ClientContext, FreeSpaceLimitIsInclusive)
{
    TempRoot root;
    ScriptedPrompter p;
    ClientContext enough(root.path());
    enough.setFreeSpaceProbe([](const QString &) { return qint64(150'000'000); });
    EXPECT_TRUE(enough.CheckFreeSpace(p));

    ClientContext short_(root.path());
    short_.setFreeSpaceProbe([](const QString &) { return qint64(149'999'999); });
    EXPECT_FALSE(short_.Start(p));
    EXPECT_EQ(p.lastText(), QStringLiteral("注意：工作盘剩余空间太小(<150MB),\r\n不能满足数据处理最低要求!\r\n"
                                           "程序将不会被启动！\r\n"));
    EXPECT_FALSE(QFileInfo::exists(root.file(QStringLiteral("DATA/rsdata.dat")))) << "no file before the check";
}

TEST(ClientContext, FolderFailuresNameTheTemporaryFolderApart)
{
    TempRoot root;
    ScriptedPrompter p;
    // A plain file where a folder should be makes the folder impossible to create.
    root.write(QStringLiteral("DATA_TEMP"), "x");
    EXPECT_FALSE(ClientContext(root.path()).Start(p));
    EXPECT_EQ(p.lastText(), QStringLiteral("创建临时数据目录失败!"));

    TempRoot other;
    other.write(QStringLiteral("DATA_MODEL"), "x");
    EXPECT_FALSE(ClientContext(other.path()).Start(p));
    EXPECT_EQ(p.lastText(), QStringLiteral("创建数据目录失败!"));

    EXPECT_FALSE(ClientContext(QString()).Start(p));
    EXPECT_EQ(p.lastText(), QStringLiteral("系统路径搜索错误!"));
}

TEST(ClientContext, SecondCopyStopsAtTheAddressBook)
{
    TempRoot root;
    ScriptedPrompter p;
    ClientContext first(root.path());
    ASSERT_TRUE(first.Start(p));
    ClientContext second(root.path());
    EXPECT_FALSE(second.Start(p));
    ASSERT_EQ(p.shown().size(), 1);
    EXPECT_EQ(p.lastText(), kContactsFailed);
    EXPECT_FALSE(second.contacts().IsOpen());
    EXPECT_FALSE(second.preInputs().IsOpen()) << "start-up stops at the first file";

    // A reader beside the running copy is fine.
    ClientContext reader(root.path());
    EXPECT_TRUE(reader.Start(p, RecordFile::Mode::ReadOnly));
}

TEST(ClientContext, DamagedFileStopsStartUpAndRepairsAreReported)
{
    TempRoot root;
    ScriptedPrompter p;
    QByteArray bad(256, '\0');
    bad[0] = '\x50'; // 80 records counted, none there
    root.write(QStringLiteral("DATA/recgoods.dat"), bad);
    EXPECT_FALSE(ClientContext(root.path()).Start(p));
    // Not a sharing conflict: the file itself is wrong, and the message says
    // which file and what is wrong with it.
    EXPECT_EQ(p.lastText(), QStringLiteral("预录物品数据文件已损坏：%1\r\n文件头记 80 条记录，文件只容得下 0 条。\r\n"
                                           "程序将不会被启动！\r\n")
                                .arg(root.file(QStringLiteral("DATA/recgoods.dat"))));
    EXPECT_EQ(root.read(QStringLiteral("DATA/recgoods.dat")), bad);

    TempRoot lagging;
    QByteArray file(256 + 84, '\0');
    file[0] = 1;   // one record
    file[256] = 3; // with id 3, while the header's last id is 0
    lagging.write(QStringLiteral("DATA/recgoods.dat"), file);
    ScriptedPrompter q;
    ClientContext context(lagging.path());
    ASSERT_TRUE(context.Start(q));
    ASSERT_EQ(q.shown().size(), 1);
    EXPECT_EQ(q.shown().first().kind, ScriptedPrompter::Kind::Warning);
    EXPECT_EQ(q.lastText(), QStringLiteral("数据文件%1已修复：文件头记下的最后编号落后于记录，已改为 3。")
                                .arg(lagging.file(QStringLiteral("DATA/recgoods.dat"))));
    EXPECT_EQ(context.goods().GetNextId(), 4);
}
