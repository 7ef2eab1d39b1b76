#include "app/RootFolder.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace quarvel;

namespace {

// Sets an environment variable for one test and puts the old value back.
class EnvironmentValue {
public:
    EnvironmentValue(const char *name, const QByteArray &value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
    {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~EnvironmentValue() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }

private:
    const char *name_;
    bool had_;
    QByteArray old_;
};

} // namespace

TEST(RootFolder, AGivenRootWinsOverEverything)
{
    TempRoot program;
    EXPECT_EQ(RootFolder::Choose(QStringLiteral("/srv/counter"), program.path()), QStringLiteral("/srv/counter/"));
}

TEST(RootFolder, ABuildTreeProgramKeepsItsOwnFolder)
{
    TempRoot program;
    EXPECT_FALSE(RootFolder::IsInstalled(program.path()));
    EXPECT_EQ(RootFolder::Choose(QString(), program.path()), program.path());
}

TEST(RootFolder, AProgramWithItsDataInstalledBesideItUsesTheUsersDataFolder)
{
    TempRoot prefix;
    QDir().mkpath(prefix.file(QStringLiteral("bin")));
    QDir().mkpath(prefix.file(QStringLiteral("share/quarvel/DATA_MODEL")));
    const QString bin = prefix.file(QStringLiteral("bin/"));
    EnvironmentValue xdg("XDG_DATA_HOME", prefix.file(QStringLiteral("data")).toUtf8());

    EXPECT_TRUE(RootFolder::IsInstalled(bin));
    EXPECT_EQ(RootFolder::Choose(QString(), bin), prefix.file(QStringLiteral("data/quarvel/")));
}

TEST(RootFolder, TheUsersDataFolderFollowsXdgDataHomeElseTheHomeFolder)
{
    TempRoot home;
    EnvironmentValue homeValue("HOME", home.path().toUtf8());
    {
        EnvironmentValue xdg("XDG_DATA_HOME", QByteArray());
        EXPECT_EQ(RootFolder::UserRoot(), home.file(QStringLiteral(".local/share/quarvel/")));
    }
    {
        // A relative value is not a base directory and is ignored.
        EnvironmentValue xdg("XDG_DATA_HOME", "relative/data");
        EXPECT_EQ(RootFolder::UserRoot(), home.file(QStringLiteral(".local/share/quarvel/")));
    }
    EnvironmentValue xdg("XDG_DATA_HOME", home.file(QStringLiteral("xdg")).toUtf8());
    EXPECT_EQ(RootFolder::UserRoot(), home.file(QStringLiteral("xdg/quarvel/")));
}

TEST(RootFolder, AProgramFolderItMayNotWriteIsAnInstallation)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write every folder";
    TempRoot program;
    QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_TRUE(RootFolder::IsInstalled(program.path()));
    QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
