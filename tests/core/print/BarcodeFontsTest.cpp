#include "print/BarcodeFonts.h"
#include "app/ShippedData.h"
#include "support/TempRoot.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

QString shippedFonts()
{
    return ShippedData::Folder() + QStringLiteral("/fonts");
}

QByteArray shipped(const QString &file)
{
    QFile f(shippedFonts() + u'/' + file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A user of their own: home, data, configuration and cache folders in the
// temporary root, the PATH of the test (fc-match, fc-cache).
QProcessEnvironment privateUser(const TempRoot &root)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), root.file(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), root.file(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root.file(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), root.file(QStringLiteral("cache")));
    return env;
}

BarcodeFonts fontsOf(const QProcessEnvironment &env)
{
    return BarcodeFonts(shippedFonts(), BarcodeFonts::Places::OfUser(env));
}

// Every file below the data and configuration folders with its modification time.
QStringList userFiles(const TempRoot &root)
{
    QStringList files;
    for (const char *folder : {"data", "config"}) {
        QDirIterator it(root.file(QString::fromUtf8(folder)), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            files << it.filePath() + u' ' + QString::number(it.fileInfo().lastModified().toMSecsSinceEpoch());
        }
    }
    files.sort();
    return files;
}

QStringList resolving(const BarcodeFonts &fonts)
{
    QList<BarcodeFonts::FaceState> states;
    EXPECT_TRUE(fonts.Check(states));
    QStringList names;
    for (const BarcodeFonts::FaceState &s : states)
        if (s.resolves)
            names << s.face.name + u'=' + s.family;
    return names;
}

const QStringList kAllFour{
    QStringLiteral("3 of 9 Barcode=Libre Barcode 39"), QStringLiteral("C39HrP24DhTt=Libre Barcode 39 Text"),
    QStringLiteral("C39HrP48DhTt=Libre Barcode 39 Text"), QStringLiteral("C39P24DmTt=Libre Barcode 39")};

} // namespace

TEST(BarcodeFontPlaces, FromTheXdgVariablesElseBelowHome)
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("HOME"), QStringLiteral("/home/op"));
    BarcodeFonts::Places p = BarcodeFonts::Places::OfUser(env);
    EXPECT_EQ(p.fontFolder, QStringLiteral("/home/op/.local/share/fonts"));
    EXPECT_EQ(p.configFolder, QStringLiteral("/home/op/.config/fontconfig/conf.d"));

    env.insert(QStringLiteral("XDG_DATA_HOME"), QStringLiteral("/srv/data/"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("relative/config"));
    p = BarcodeFonts::Places::OfUser(env);
    EXPECT_EQ(p.fontFolder, QStringLiteral("/srv/data/fonts"));
    EXPECT_EQ(p.configFolder, QStringLiteral("/home/op/.config/fontconfig/conf.d")) << "a relative folder is ignored";

    p = BarcodeFonts::Places::OfUser(QProcessEnvironment());
    EXPECT_TRUE(p.fontFolder.isEmpty());
    EXPECT_TRUE(p.configFolder.isEmpty());
}

TEST(BarcodeFontAliases, EachFaceFallsBackToItsDesignWithoutOverridingARealFont)
{
    const QString text = QString::fromUtf8(BarcodeFonts::AliasText());
    for (const BarcodeFonts::Face &f : BarcodeFonts::Faces()) {
        const QString alias = QStringLiteral("<family>%1</family>\n    <accept><family>%2</family></accept>");
        EXPECT_TRUE(text.contains(alias.arg(f.name, f.family))) << f.name.toStdString();
        EXPECT_EQ(f.family.endsWith(QLatin1String(" Text")), f.name.startsWith(QLatin1String("C39Hr")))
            << "the human-readable faces get the design with the number under the bars";
        EXPECT_TRUE(QFile::exists(shippedFonts() + u'/' + f.file));
    }
    EXPECT_EQ(text.count(QStringLiteral("binding=\"same\"")), 4);
    EXPECT_TRUE(QFile::exists(shippedFonts() + QStringLiteral("/OFL.txt"))) << "the licence goes with the fonts";
}

TEST(BarcodeFontInstall, AnEmptyFontFolderGetsTheFontsAndTheFacesResolve)
{
    TempRoot root;
    const QProcessEnvironment env = privateUser(root);
    BarcodeFonts fonts = fontsOf(env);
    EXPECT_TRUE(resolving(fonts).isEmpty()) << "no Code-39 face on this machine before";
    EXPECT_FALSE(fonts.Installed());

    const BarcodeFonts::Outcome first = fonts.EnsureAvailable();
    EXPECT_TRUE(first.problem.isEmpty()) << first.problem.toStdString();
    EXPECT_EQ(first.written,
              (QStringList{root.file(QStringLiteral("data/fonts/LibreBarcode39-Regular.ttf")),
                           root.file(QStringLiteral("data/fonts/LibreBarcode39Text-Regular.ttf")),
                           root.file(QStringLiteral("config/fontconfig/conf.d/50-quarvel-code39.conf"))}));
    EXPECT_EQ(resolving(fonts), kAllFour);
    EXPECT_TRUE(fonts.Installed());

    const QStringList before = userFiles(root);
    const BarcodeFonts::Outcome second = fonts.EnsureAvailable();
    EXPECT_TRUE(second.written.isEmpty());
    EXPECT_TRUE(second.problem.isEmpty());
    EXPECT_EQ(userFiles(root), before) << "a second start writes nothing";
}

TEST(BarcodeFontInstall, FacesThatAlreadyResolveAreLeftAlone)
{
    TempRoot root;
    const QProcessEnvironment env = privateUser(root);
    // The user's own copy of the fonts under other names, with an alias file of their own.
    root.write(QStringLiteral("data/fonts/mine/code39.ttf"), shipped(QStringLiteral("LibreBarcode39-Regular.ttf")));
    root.write(QStringLiteral("data/fonts/mine/code39text.ttf"),
               shipped(QStringLiteral("LibreBarcode39Text-Regular.ttf")));
    root.write(QStringLiteral("config/fontconfig/conf.d/60-mine.conf"), BarcodeFonts::AliasText());
    BarcodeFonts fonts = fontsOf(env);
    EXPECT_EQ(resolving(fonts), kAllFour);
    EXPECT_FALSE(fonts.Installed());

    const QStringList before = userFiles(root);
    const BarcodeFonts::Outcome outcome = fonts.EnsureAvailable();
    EXPECT_TRUE(outcome.written.isEmpty());
    EXPECT_TRUE(outcome.problem.isEmpty());
    EXPECT_EQ(userFiles(root), before);
}

TEST(BarcodeFontInstall, AFontFolderThatCannotBeMadeGivesOneClearMessage)
{
    TempRoot root;
    const QProcessEnvironment env = privateUser(root);
    root.write(QStringLiteral("data/fonts"), "a file where the folder should be");
    const BarcodeFonts::Outcome outcome = fontsOf(env).EnsureAvailable();
    EXPECT_TRUE(outcome.written.isEmpty());
    EXPECT_TRUE(
        outcome.problem.startsWith(QStringLiteral("条码字体无法安装到") + root.file(QStringLiteral("data/fonts"))))
        << outcome.problem.toStdString();
    EXPECT_TRUE(outcome.problem.endsWith(QStringLiteral("标签上的条码将印成普通文字，无法扫描。")));
    EXPECT_FALSE(QFile::exists(root.file(QStringLiteral("config/fontconfig/conf.d/50-quarvel-code39.conf"))))
        << "nothing else is written after the first failure";
}

TEST(BarcodeFontInstall, WithoutFcCacheTheFontsAreInstalledAndTheOperatorIsTold)
{
    TempRoot root;
    QProcessEnvironment env = privateUser(root);
    // A PATH that has fc-match but no fc-cache.
    const QString bin = root.file(QStringLiteral("bin"));
    QDir().mkpath(bin);
    ASSERT_TRUE(QFile::link(BarcodeFonts(QString(), BarcodeFonts::Places::OfUser(env)).tool(QStringLiteral("fc-match")),
                            bin + QStringLiteral("/fc-match")));
    env.insert(QStringLiteral("PATH"), bin);
    BarcodeFonts fonts = fontsOf(env);
    EXPECT_TRUE(fonts.tool(QStringLiteral("fc-cache")).isEmpty());
    const BarcodeFonts::Outcome outcome = fonts.EnsureAvailable();
    EXPECT_EQ(outcome.written.size(), 3);
    EXPECT_EQ(outcome.problem, QStringLiteral("条码字体已安装到%1，但找不到 fc-cache，字体缓存没有刷新。\r\n"
                                              "如果标签上的条码印成普通文字，请安装 fontconfig 后重新启动程序。")
                                   .arg(root.file(QStringLiteral("data/fonts"))));
    EXPECT_EQ(resolving(fonts), kAllFour) << "fontconfig reads the new folder without a cache";
    EXPECT_TRUE(fonts.EnsureAvailable().problem.isEmpty()) << "said once: the next start finds them installed";
}

TEST(BarcodeFontInstall, NoHomeAndNoShippedFontsAreSaid)
{
    const BarcodeFonts::Outcome homeless = BarcodeFonts(shippedFonts(), BarcodeFonts::Places()).Install();
    EXPECT_TRUE(homeless.problem.startsWith(QStringLiteral("找不到用户的字体文件夹（HOME 没有设置）")));

    TempRoot root;
    const BarcodeFonts::Outcome unshipped =
        BarcodeFonts(root.file(QStringLiteral("none")), BarcodeFonts::Places::OfUser(privateUser(root))).Install();
    EXPECT_TRUE(unshipped.problem.startsWith(QStringLiteral("程序附带的条码字体")));
    EXPECT_TRUE(unshipped.written.isEmpty());
}
