#include "print/TemplatePairWrite.h"
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QRandomGenerator>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

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

// Writes the pair "<n> definition" / "<n> sheet" in a child process that
// dies by SIGKILL at `killAt`; its exit status.
int writePairAndDie(const QString &folder, const QByteArray &n, TemplatePairWrite::Step killAt)
{
    const pid_t child = ::fork();
    if (child == 0) {
        TemplatePairWrite pair(folder + QStringLiteral("/T.txt"), folder + QStringLiteral("/T.xls"));
        pair.setStepHook([killAt](TemplatePairWrite::Step s) {
            if (s == killAt)
                ::raise(SIGKILL);
        });
        const bool ok = pair.Prepare(n + " definition", n + " sheet") && pair.Commit();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

// The version both files of the pair hold ("3" for "3 definition" and "3
// sheet"), or "mixed: ..." when they differ.
QByteArray pairVersion(const TempRoot &root)
{
    const QByteArray definition = root.read(QStringLiteral("T.txt"));
    const QByteArray sheet = root.read(QStringLiteral("T.xls"));
    const QByteArray d = definition.left(definition.indexOf(' '));
    const QByteArray x = sheet.left(sheet.indexOf(' '));
    return d == x && definition.endsWith(" definition") && sheet.endsWith(" sheet")
               ? d
               : "mixed: " + definition + " / " + sheet;
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

TEST(TemplatePairWrite, ADefinitionWhoseRenameFailsAfterTheSpreadsheetWentInPutsTheOldPairBack)
{
    TempRoot root;
    root.write(QStringLiteral("T.txt"), "old definition");
    root.write(QStringLiteral("T.xls"), "old sheet");
    TemplatePairWrite pair(root.file(QStringLiteral("T.txt")), root.file(QStringLiteral("T.xls")));
    pair.setStepHook([&root](TemplatePairWrite::Step s) {
        if (s == TemplatePairWrite::Step::FirstRenamed)
            blockDefinition(root);
    });
    ASSERT_TRUE(pair.Prepare("new definition", "new sheet"));
    EXPECT_FALSE(pair.Commit());
    EXPECT_EQ(root.read(QStringLiteral("T.xls")), QByteArray("old sheet"));
    EXPECT_TRUE(pair.errorText().contains(QStringLiteral("T.txt"))) << pair.errorText().toStdString();
    EXPECT_EQ(entries(root), (QStringList{QStringLiteral("T.txt"), QStringLiteral("T.xls")})) << "no file left aside";
}

TEST(TemplatePairWrite, ASymbolicLinkInThePairsPlaceIsRefusedAndNotFollowed)
{
    TempRoot root;
    root.write(QStringLiteral("elsewhere/target.xls"), "someone else's file");
    root.write(QStringLiteral("T.txt"), "old definition");
    ASSERT_TRUE(QFile::link(root.file(QStringLiteral("elsewhere/target.xls")), root.file(QStringLiteral("T.xls"))));
    TemplatePairWrite pair(root.file(QStringLiteral("T.txt")), root.file(QStringLiteral("T.xls")));
    EXPECT_FALSE(pair.Prepare("new definition", "new sheet"));
    EXPECT_TRUE(pair.errorText().contains(QStringLiteral("符号链接"))) << pair.errorText().toStdString();
    EXPECT_TRUE(pair.errorText().contains(root.file(QStringLiteral("T.xls"))));
    EXPECT_EQ(root.read(QStringLiteral("elsewhere/target.xls")), QByteArray("someone else's file"));
    EXPECT_EQ(root.read(QStringLiteral("T.txt")), QByteArray("old definition"));
    EXPECT_TRUE(QFileInfo(root.file(QStringLiteral("T.xls"))).isSymLink());
}

TEST(TemplatePairWrite, AWriterKilledBetweenAnyTwoStepsLeavesOldOrNewPairsAfterRecovery)
{
    const std::pair<TemplatePairWrite::Step, QByteArray> points[] = {
        {TemplatePairWrite::Step::Written, "1"},
        {TemplatePairWrite::Step::Journaled, "2"},
        {TemplatePairWrite::Step::FirstRenamed, "2"},
        {TemplatePairWrite::Step::Renamed, "2"},
    };
    for (const auto &[killAt, expected] : points) {
        TempRoot root;
        root.write(QStringLiteral("T.txt"), "1 definition");
        root.write(QStringLiteral("T.xls"), "1 sheet");
        const int status = writePairAndDie(root.path(), "2", killAt);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << int(killAt);
        if (killAt == TemplatePairWrite::Step::FirstRenamed) {
            EXPECT_EQ(pairVersion(root), QByteArray("mixed: 1 definition / 2 sheet")) << "what a start would have met";
        }
        const QString told = TemplatePairWrite::Recover(root.path());
        EXPECT_EQ(pairVersion(root), expected) << int(killAt);
        EXPECT_EQ(entries(root), (QStringList{QStringLiteral("T.txt"), QStringLiteral("T.xls")})) << int(killAt);
        EXPECT_EQ(told.isEmpty(), killAt == TemplatePairWrite::Step::Written) << told.toStdString();
    }

    // And killed at any moment, again and again, over one folder.
    TempRoot root;
    root.write(QStringLiteral("T.txt"), "0 definition");
    root.write(QStringLiteral("T.xls"), "0 sheet");
    int finished = 0;
    int mixedBeforeRecovery = 0;
    for (int round = 1; round <= 200; ++round) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (int n = round * 1000;; ++n) {
                TemplatePairWrite pair(root.file(QStringLiteral("T.txt")), root.file(QStringLiteral("T.xls")));
                const QByteArray v = QByteArray::number(n);
                if (!pair.Prepare(v + " definition", v + " sheet") || !pair.Commit())
                    ::_exit(1);
            }
        }
        ::usleep(useconds_t(QRandomGenerator::global()->bounded(1000, 30000)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << ": a write failed";
        mixedBeforeRecovery += pairVersion(root).startsWith("mixed") ? 1 : 0;
        finished += TemplatePairWrite::Recover(root.path()).isEmpty() ? 0 : 1;
        ASSERT_FALSE(pairVersion(root).startsWith("mixed")) << "round " << round << ": " << pairVersion(root).data();
    }
    EXPECT_EQ(entries(root), (QStringList{QStringLiteral("T.txt"), QStringLiteral("T.xls")}));
    std::printf("200 kills: %d left a pair journal to finish, %d left the pair mixed until recovery\n", finished,
                mixedBeforeRecovery);
}

TEST(TemplatePairWrite, StartUpFinishesAPairAKilledDownloadLeftAndSaysSo)
{
    TempRoot root;
    root.write(QStringLiteral("DATA_MODEL/T.txt"), "1 definition");
    root.write(QStringLiteral("DATA_MODEL/T.xls"), "1 sheet");
    ASSERT_TRUE(WIFSIGNALED(
        writePairAndDie(root.file(QStringLiteral("DATA_MODEL")), "2", TemplatePairWrite::Step::FirstRenamed)));
    ClientContext context(root.path());
    context.setShippedDataFolder(QString());
    ScriptedPrompter prompter;
    ASSERT_TRUE(context.Start(prompter));
    EXPECT_EQ(root.read(QStringLiteral("DATA_MODEL/T.txt")), QByteArray("2 definition"));
    EXPECT_EQ(root.read(QStringLiteral("DATA_MODEL/T.xls")), QByteArray("2 sheet"));
    EXPECT_TRUE(prompter.texts().join(u'|').contains(QStringLiteral("上次中断的模版更新已完成：T.xls、T.txt")))
        << prompter.texts().join(u'|').toStdString();
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
