#include "support/TempRoot.h"

#include <QDateTime>
#include <QDirIterator>
#include <QProcess>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

struct Outcome {
    int code = -1;
    QString out;
    QString err;
};

// A user of their own, as a fresh account on a machine without barcode fonts.
QProcessEnvironment privateUser(const TempRoot &root)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), root.file(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), root.file(QStringLiteral("home/data")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root.file(QStringLiteral("home/config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), root.file(QStringLiteral("home/cache")));
    return env;
}

Outcome run(const QString &program, const QStringList &args, const QProcessEnvironment &env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.closeWriteChannel();
    if (!p.waitForFinished(120000))
        p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

Outcome ctl(const TempRoot &root, const QStringList &args, const QProcessEnvironment &env)
{
    return run(QStringLiteral(QUARVELCTL_PATH),
               QStringList{QStringLiteral("--root"), root.file(QStringLiteral("inst"))} + args, env);
}

QString match(const QString &face, const QProcessEnvironment &env)
{
    return run(QStringLiteral("fc-match"), {QStringLiteral("-f"), QStringLiteral("%{family[0]}|%{file}"), face}, env)
        .out;
}

QStringList userFiles(const TempRoot &root)
{
    QStringList files;
    for (const char *folder : {"home/data", "home/config"}) {
        QDirIterator it(root.file(QString::fromUtf8(folder)), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            files << it.filePath() + u' ' + QString::number(it.fileInfo().lastModified().toMSecsSinceEpoch());
        }
    }
    files.sort();
    return files;
}

const QString kFaces[] = {QStringLiteral("3 of 9 Barcode"), QStringLiteral("C39HrP24DhTt"),
                          QStringLiteral("C39HrP48DhTt"), QStringLiteral("C39P24DmTt")};

} // namespace

TEST(FontStartUp, AFreshUserGetsTheFourFacesAndASecondStartWritesNothing)
{
    TempRoot root;
    const QProcessEnvironment env = privateUser(root);
    for (const QString &face : kFaces)
        ASSERT_FALSE(match(face, env).contains(QLatin1String("Libre Barcode"))) << "a machine without barcode fonts";
    const Outcome status = ctl(root, {QStringLiteral("fonts"), QStringLiteral("status")}, env);
    EXPECT_EQ(status.code, 1) << "status only looks: no face resolves yet";
    EXPECT_TRUE(status.out.startsWith(QStringLiteral("3 of 9 Barcode\tno\t")));
    EXPECT_TRUE(userFiles(root).isEmpty());

    const Outcome first = ctl(root, {QStringLiteral("records"), QStringLiteral("list")}, env);
    ASSERT_EQ(first.code, 0) << first.err.toStdString();
    EXPECT_TRUE(first.err.isEmpty()) << first.err.toStdString();
    const QString fonts = root.file(QStringLiteral("home/data/fonts/"));
    EXPECT_EQ(match(kFaces[0], env),
              QStringLiteral("Libre Barcode 39|") + fonts + QStringLiteral("LibreBarcode39-Regular.ttf"));
    EXPECT_EQ(match(kFaces[1], env),
              QStringLiteral("Libre Barcode 39 Text|") + fonts + QStringLiteral("LibreBarcode39Text-Regular.ttf"));
    EXPECT_EQ(match(kFaces[2], env),
              QStringLiteral("Libre Barcode 39 Text|") + fonts + QStringLiteral("LibreBarcode39Text-Regular.ttf"));
    EXPECT_EQ(match(kFaces[3], env),
              QStringLiteral("Libre Barcode 39|") + fonts + QStringLiteral("LibreBarcode39-Regular.ttf"));

    const QStringList installed = userFiles(root);
    EXPECT_EQ(installed.size(), 3);
    const Outcome second = ctl(root, {QStringLiteral("records"), QStringLiteral("list")}, env);
    ASSERT_EQ(second.code, 0);
    EXPECT_TRUE(second.err.isEmpty());
    EXPECT_EQ(userFiles(root), installed) << "nothing written the second time";

    const Outcome after = ctl(root, {QStringLiteral("fonts"), QStringLiteral("status"), QStringLiteral("--json")}, env);
    EXPECT_EQ(after.code, 0);
    EXPECT_EQ(after.out.count(QStringLiteral("\"resolves\":true")), 4);
    const Outcome again = ctl(root, {QStringLiteral("fonts"), QStringLiteral("install")}, env);
    EXPECT_EQ(again.code, 0);
    EXPECT_TRUE(again.out.isEmpty()) << "installed as shipped: nothing to write";
}

TEST(FontStartUp, AReadOnlyFontFolderGivesOneClearMessageAndTheCommandStillRuns)
{
    TempRoot root;
    const QProcessEnvironment env = privateUser(root);
    const QString fonts = root.file(QStringLiteral("home/data/fonts"));
    ASSERT_TRUE(QDir().mkpath(fonts));
    const QStringList list{QStringLiteral("--root"), root.file(QStringLiteral("inst")), QStringLiteral("records"),
                           QStringLiteral("list")};
    Outcome r;
    if (::geteuid() == 0) {
        // Permissions do not stop root: the folder is mounted read-only in a mount namespace of its own.
        if (run(QStringLiteral("unshare"), {QStringLiteral("-m"), QStringLiteral("true")}, env).code != 0)
            GTEST_SKIP() << "no mount namespace for a read-only folder";
        const QString script = QStringLiteral("mount --bind -o ro \"$1\" \"$1\" && shift && exec \"$@\"");
        r = run(QStringLiteral("unshare"),
                QStringList{QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"), script,
                            QStringLiteral("sh"), fonts, QStringLiteral(QUARVELCTL_PATH)} +
                    list,
                env);
    } else {
        ASSERT_TRUE(QFile::setPermissions(fonts, QFile::ReadOwner | QFile::ExeOwner));
        r = run(QStringLiteral(QUARVELCTL_PATH), list, env);
        QFile::setPermissions(fonts, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    EXPECT_EQ(r.code, 0) << "start-up goes on";
    const QStringList said = r.err.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(said.size(), 2) << r.err.toStdString();
    EXPECT_TRUE(said[0].contains(QStringLiteral("条码字体无法安装到") + fonts)) << r.err.toStdString();
    EXPECT_TRUE(said[1].contains(QStringLiteral("标签上的条码将印成普通文字，无法扫描。")));
    EXPECT_TRUE(QDir(fonts).isEmpty());
}

TEST(FontCommands, AnInstallThatCannotWriteItsFolderIsTheMachinesError)
{
    TempRoot root;
    const QProcessEnvironment env = privateUser(root);
    // A file where the font folder belongs: no folder can be made there, not even by root.
    root.write(QStringLiteral("home/data/fonts"), "x");
    const Outcome r = ctl(root, {QStringLiteral("fonts"), QStringLiteral("install")}, env);
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("条码字体无法安装到") + root.file(QStringLiteral("home/data/fonts"))))
        << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}
