#include "app/ProgramVersion.h"
#include "support/Quarvelctl.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// Runs a program without a display and without the offscreen platform:
// --version and --help are answered before anything needs one.
CtlResult runBare(const QString &program, const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(30000);
    CtlResult r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QString manualText(const QString &program)
{
    const QString page = qEnvironmentVariable("QUARVEL_BUILD_DIR") + QStringLiteral("/share/man/man1/") + program +
                         QStringLiteral(".1.gz");
    if (!QFile::exists(page))
        return {};
    QProcess gunzip;
    gunzip.start(QStringLiteral("gzip"), {QStringLiteral("-dc"), page});
    gunzip.waitForFinished();
    return QString::fromUtf8(gunzip.readAllStandardOutput())
        .replace(QStringLiteral("\\-"), QStringLiteral("-"))
        .replace(QStringLiteral("\\e"), QStringLiteral("\\"));
}

} // namespace

TEST(ProgramInfo, EveryProgramTellsItsVersion)
{
    const QString expected = quarvel::ProgramVersion::Text();
    const CtlResult ctl = runBare(QStringLiteral(QUARVELCTL_PATH), {QStringLiteral("--version")});
    EXPECT_EQ(ctl.code, 0);
    EXPECT_EQ(QString::fromUtf8(ctl.out), QStringLiteral("quarvelctl %1\n").arg(expected));
    const CtlResult server = runBare(QStringLiteral(TARVO_SERVER_PATH), {QStringLiteral("--version")});
    EXPECT_EQ(server.code, 0);
    EXPECT_EQ(QString::fromUtf8(server.out), QStringLiteral("tarvo-server %1\n").arg(expected));
#ifdef QUARVEL_PATH
    const CtlResult window = runBare(QStringLiteral(QUARVEL_PATH), {QStringLiteral("--version")});
    EXPECT_EQ(window.code, 0) << window.errText().toStdString();
    EXPECT_EQ(QString::fromUtf8(window.out), QStringLiteral("quarvel %1\n").arg(expected));
    const CtlResult help = runBare(QStringLiteral(QUARVEL_PATH), {QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.startsWith("usage: quarvel [--root DIR]\n"));
#endif
}

TEST(ProgramInfo, HelpListsTheOptionsAndEveryCommand)
{
    const CtlResult help = runQuarvelctl({QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0);
    const QString text = QString::fromUtf8(help.out);
    EXPECT_TRUE(text.startsWith(QStringLiteral("usage: quarvelctl [--root DIR]")));
    for (const char *expected : {"--password-stdin", "--version", "records list [--json]", "report day", "exit codes:"})
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected;
    // "help" alone is the same text.
    EXPECT_EQ(runQuarvelctl({QStringLiteral("help")}).out, help.out);
}

TEST(ProgramInfo, HelpOfACommandPrintsOnlyItsLines)
{
    const CtlResult scans = runQuarvelctl({QStringLiteral("help"), QStringLiteral("scans")});
    EXPECT_EQ(scans.code, 0);
    const QString text = QString::fromUtf8(scans.out);
    EXPECT_TRUE(text.contains(QStringLiteral("scans add FIELD=VALUE")));
    EXPECT_TRUE(text.contains(QStringLiteral("scans upload IID")));
    EXPECT_FALSE(text.contains(QStringLiteral("records list")));

    const CtlResult sub = runQuarvelctl({QStringLiteral("help"), QStringLiteral("scans"), QStringLiteral("list")});
    EXPECT_EQ(QString::fromUtf8(sub.out),
              QStringLiteral("usage: quarvelctl [--root DIR] [--account NAME --password-stdin]\n"
                             "  scans list [--json]\n"));

    const CtlResult unknown = runQuarvelctl({QStringLiteral("help"), QStringLiteral("frobnicate")});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_TRUE(unknown.errText().startsWith(QStringLiteral("unknown command: frobnicate\n")));
}

TEST(ProgramInfo, TheManualPagesHoldEveryLineOfTheHelp)
{
    const QStringList programs = {QStringLiteral("quarvelctl"), QStringLiteral("tarvo-server")};
    const QStringList paths = {QStringLiteral(QUARVELCTL_PATH), QStringLiteral(TARVO_SERVER_PATH)};
    for (int i = 0; i < programs.size(); ++i) {
        const QString manual = manualText(programs.at(i));
        if (manual.isEmpty())
            GTEST_SKIP() << "this build makes no manual pages (sanitizers)";
        const QString help = QString::fromUtf8(runBare(paths.at(i), {QStringLiteral("--help")}).out);
        EXPECT_TRUE(manual.startsWith(QStringLiteral(".TH ") + programs.at(i).toUpper()));
        // The usage line is the synopsis; every other line is in the page as it is.
        for (const QString &line : help.split(u'\n').mid(1)) {
            if (line.trimmed().isEmpty() || QRegularExpression(QStringLiteral("^[a-z ]+:$")).match(line).hasMatch())
                continue;
            EXPECT_TRUE(manual.contains(line)) << programs.at(i).toStdString() << ": " << line.toStdString();
        }
    }
}
