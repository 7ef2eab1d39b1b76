#include "storage/PrivateFolder.h"
#include "support/TempRoot.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace quarvel;

TEST(PrivateFolder, AMissingFolderIsMadePrivateAndAPlantedOneIsRefused)
{
    TempRoot root;
    const QString made = root.file(QStringLiteral("office-0"));
    QString error;
    ASSERT_TRUE(PrivateFolder::Ensure(made, &error)) << error.toStdString();
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(made).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(PrivateFolder::Ensure(made)) << "its own folder is taken again at the next start";

    // Planted by someone else before the first start: writable by all.
    const QString open = root.file(QStringLiteral("open"));
    ASSERT_EQ(::mkdir(QFile::encodeName(open).constData(), 0700), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0777), 0);
    EXPECT_FALSE(PrivateFolder::Ensure(open, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("其他用户可以写入"))) << error.toStdString();
    EXPECT_TRUE(error.contains(open));
    ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0770), 0);
    EXPECT_FALSE(PrivateFolder::Ensure(open)) << "group-writable is refused as well";

    // A link to a folder the planter controls.
    const QString link = root.file(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(made, link));
    EXPECT_FALSE(PrivateFolder::Ensure(link, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("符号链接"))) << error.toStdString();

    root.write(QStringLiteral("plain"), "a file");
    EXPECT_FALSE(PrivateFolder::Ensure(root.file(QStringLiteral("plain")), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("不是文件夹"))) << error.toStdString();

    // Another user's folder (only a privileged test can give one away).
    const QString foreign = root.file(QStringLiteral("foreign"));
    ASSERT_EQ(::mkdir(QFile::encodeName(foreign).constData(), 0700), 0);
    if (::chown(QFile::encodeName(foreign).constData(), 65534, 65534) == 0) {
        EXPECT_FALSE(PrivateFolder::Ensure(foreign, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("属于另一个用户（uid 65534）"))) << error.toStdString();
    } else {
        EXPECT_NE(::geteuid(), 0u) << "root can always give a folder away";
    }
}
