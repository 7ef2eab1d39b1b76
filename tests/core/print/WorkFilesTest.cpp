#include "print/WorkFiles.h"
#include "excel/PrintDestination.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace quarvel;

namespace {

// Runs `work` in a child process and waits for it to end.
template <typename Work> void inChild(const Work &work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        work();
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
}

} // namespace

TEST(WorkFiles, NamesCarryTheProcessAndOnlyTheFilesOfEndedProcessesAreTidiedAway)
{
    TempRoot root;
    const QString folder = root.path();
    const QString a = WorkFiles::Create(folder, QStringLiteral("BILL"));
    const QString b = WorkFiles::Create(folder, QStringLiteral("BILL"));
    ASSERT_FALSE(a.isEmpty());
    EXPECT_NE(a, b);
    EXPECT_TRUE(QFileInfo(a).fileName().startsWith(QStringLiteral("BILL_%1_").arg(::getpid())));
    EXPECT_TRUE(a.endsWith(QStringLiteral(".xls")));
    EXPECT_EQ(WorkFiles::OwnerOf(QFileInfo(a).fileName()), ::getpid());
    EXPECT_EQ(WorkFiles::OwnerOf(QStringLiteral("INVOICE_DE1.xls")), 0) << "a kept invoice is no working file";

    // A print killed in another process leaves its working file and the office's lock file of it.
    inChild([&] {
        const QString left = WorkFiles::Create(folder, QStringLiteral("INVOICE_PRINT"));
        QFile lock(folder + QStringLiteral(".~lock.") + QFileInfo(left).fileName() + u'#');
        lock.open(QIODevice::WriteOnly);
    });
    root.write(QStringLiteral("INVOICE_DE1.xls"), "kept by the operator");
    ASSERT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 5);
    EXPECT_EQ(WorkFiles::RemoveOrphans(folder), 2);
    QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    QStringList expected{QFileInfo(a).fileName(), QFileInfo(b).fileName(), QStringLiteral("INVOICE_DE1.xls")};
    expected.sort();
    EXPECT_EQ(left, expected) << "the files of this live process stay";

    QString error;
    EXPECT_TRUE(
        WorkFiles::Create(root.file(QStringLiteral("INVOICE_DE1.xls/sub")), QStringLiteral("BILL"), &error).isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("INVOICE_DE1.xls/sub"))) << error.toStdString();
}

TEST(WorkFiles, ProgramsReservingTheSamePdfNameAtOnceEachGetTheirOwn)
{
    TempRoot root;
    const QString folder = root.path();
    constexpr int kPrograms = 8;
    constexpr int kEach = 25;
    std::vector<pid_t> children;
    for (int p = 0; p < kPrograms; ++p) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (int i = 0; i < kEach; ++i)
                if (PrintDestination::ReserveFileName(folder, QStringLiteral("面单_DE1")).isEmpty())
                    ::_exit(1);
            ::_exit(0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const QStringList made = QDir(folder).entryList(QDir::Files);
    EXPECT_EQ(made.size(), kPrograms * kEach);
    EXPECT_TRUE(made.contains(QStringLiteral("面单_DE1.pdf")));
    EXPECT_TRUE(made.contains(QStringLiteral("面单_DE1_%1.pdf").arg(kPrograms * kEach)));
}
