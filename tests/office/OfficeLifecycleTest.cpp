#include "OfficeProfileSettings.h"
#include "OfficeTestSupport.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QUrl>

#include <cstdlib>
#include <thread>

#include <sys/stat.h>

using namespace quarvel;
using namespace officetest;

namespace {

const QString kCannotStart = QStringLiteral("无法启动LibreOffice服务!\r\n请在本机上安装LibreOffice Calc !");
const QString kOfficeGone = QStringLiteral("LibreOffice服务意外中止,本次操作没有完成。\r\n请重新操作。");

QString oslPipe(const QString &name)
{
    return QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(::getuid()).arg(name);
}

// A run of this program as the child of NoOfficeOutlivesTheProgram: starts
// the office, tells its process id, then ends without shutting it down.
class ChildRun : public ::testing::Environment {
public:
    void SetUp() override
    {
        const QByteArray mode = qgetenv("QUARVEL_OFFICE_CHILD");
        if (mode.isEmpty())
            return;
        // The parent's folder, as this program ends without cleaning up, and
        // a profile of its own, so that the names of its pipes are its own.
        const QDir folder(QString::fromLocal8Bit(qgetenv("QUARVEL_OFFICE_CHILD_FOLDER")));
        OfficeEngine::Options options;
        options.profileBase = folder.filePath(QStringLiteral("profiles"));
        auto *const child = new OfficeEngine(options); // left running, as by a program that forgot it
        ScriptedPrompter prompter;
        ExcelSession session(child, prompter, folder.path());
        if (!session.OpenNew(QString(), folder.filePath(QStringLiteral("child.xls"))))
            std::exit(3);
        QFile pidFile(folder.filePath(QStringLiteral("pid")));
        if (!pidFile.open(QIODevice::WriteOnly))
            std::exit(4);
        pidFile.write(QByteArray::number(child->officeProcessId()) + '\n' +
                      child->pipeFiles().join(u'\n').toLocal8Bit());
        pidFile.close();
        if (mode == "crash")
            std::abort();
        std::exit(0);
    }
};
[[maybe_unused]] const ::testing::Environment *const childRun = ::testing::AddGlobalTestEnvironment(new ChildRun);

} // namespace

TEST(OfficeLifecycle, AnOfficeKilledDuringASessionGivesACleanErrorAndTheNextSessionWorks)
{
    Folder folder;
    ScriptedPrompter prompter;
    ExcelSession broken(&engine(), prompter, folder.path());
    ASSERT_TRUE(broken.OpenNew(QString(), folder.file(QStringLiteral("a.xls"))));
    ASSERT_TRUE(broken.SetCellText(1, 1, QStringLiteral("写入")));
    const qint64 pid = engine().officeProcessId();
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(pid_t(pid), SIGKILL), 0);
    ASSERT_TRUE(processEnds(pid));

    EXPECT_FALSE(broken.SetCellText(1, 2, QStringLiteral("丢失")));
    EXPECT_EQ(broken.GetErrorText(), kOfficeGone);
    EXPECT_EQ(broken.GetCellText(1, 1), QString());
    EXPECT_FALSE(broken.SaveAndClose());
    EXPECT_EQ(broken.GetErrorText(), kOfficeGone);
    broken.Quit();

    ExcelSession next(&engine(), prompter, folder.path());
    ASSERT_TRUE(next.OpenNew(QString(), folder.file(QStringLiteral("b.xls")))) << next.GetErrorText().toStdString();
    EXPECT_NE(engine().officeProcessId(), pid);
    next.SetCellText(1, 1, QStringLiteral("重新启动后"));
    ASSERT_TRUE(next.SaveAndClose()) << next.GetErrorText().toStdString();
    EXPECT_EQ(cell(readXls(folder.file(QStringLiteral("b.xls"))), "A1")[QStringLiteral("value")].toString(),
              QStringLiteral("重新启动后"));
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST(OfficeLifecycle, ShutdownEndsTheOfficeAndRemovesItsPipes)
{
    Folder folder;
    OfficeEngine::Options options;
    options.profileBase = folder.file(QStringLiteral("profiles"));
    OfficeEngine own(options);
    QString error;
    ASSERT_TRUE(own.start(&error)) << error.toStdString();
    const qint64 pid = own.officeProcessId();
    ASSERT_GT(pid, 0);
    EXPECT_NE(pid, engine().officeProcessId());
    const QString profile = QDir(options.profileBase).filePath(QStringLiteral("profile-0"));
    EXPECT_TRUE(QFileInfo(profile).isDir()) << "a private profile below the given folder";
    // The office's own pipe and LibreOffice's single-instance pipe, which
    // LibreOffice names after the MD5 of the profile URL in UTF-16 (bytes in
    // hex, without leading zeros).
    const QString url = QUrl::fromLocalFile(profile).toString(QUrl::FullyEncoded);
    QString digest;
    for (const char byte : QCryptographicHash::hash(
             QByteArray(reinterpret_cast<const char *>(url.utf16()), url.size() * 2), QCryptographicHash::Md5))
        digest += QString::number(static_cast<unsigned char>(byte), 16);
    const QStringList pipes = own.pipeFiles();
    ASSERT_EQ(pipes.size(), 2);
    EXPECT_EQ(pipes[1], oslPipe(QStringLiteral("SingleOfficeIPC_") + digest));
    for (const QString &pipe : pipes)
        EXPECT_TRUE(QFileInfo::exists(pipe)) << pipe.toStdString();

    own.shutdown();
    EXPECT_EQ(own.officeProcessId(), 0);
    EXPECT_TRUE(processEnds(pid, 0));
    for (const QString &pipe : pipes)
        EXPECT_FALSE(QFileInfo::exists(pipe)) << pipe.toStdString();
    EXPECT_FALSE(QFileInfo::exists(profile + QStringLiteral(".tmp")));

    // The next use starts a new office.
    ScriptedPrompter prompter;
    ExcelSession session(&own, prompter, folder.path());
    ASSERT_TRUE(session.OpenNew(QString(), folder.file(QStringLiteral("c.xls"))))
        << session.GetErrorText().toStdString();
    EXPECT_GT(own.officeProcessId(), 0);
    EXPECT_NE(own.officeProcessId(), pid);
    EXPECT_TRUE(session.SaveAndClose());
}

// Unbounded, the office's glyph cache grows with every printed document; the
// bound set in the private profile must survive the office's own rewrite of
// its registry, replace an earlier value and keep the office's other items.
TEST(OfficeLifecycle, TheProfileBoundsTheGlyphCache)
{
    Folder folder;
    OfficeEngine::Options options;
    options.profileBase = folder.file(QStringLiteral("profiles"));
    const QString registry = options.profileBase + QStringLiteral("/profile-0/user/registrymodifications.xcu");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(registry).path()));
    QFile seeded(registry);
    ASSERT_TRUE(seeded.open(QIODevice::WriteOnly));
    seeded.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
                 "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
                 "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
                 "<item oor:path=\"/org.openoffice.Office.Common/Cache/Font\"><prop oor:name=\"GlyphsCacheSize\" "
                 "oor:op=\"fuse\"><value>20000000</value></prop></item>\n"
                 "<item oor:path=\"/org.openoffice.Office.Common/Save/Document\"><prop oor:name=\"CreateBackup\" "
                 "oor:op=\"fuse\"><value>false</value></prop></item>\n"
                 "</oor:items>\n");
    seeded.close();

    OfficeEngine own(options);
    QString error;
    ASSERT_TRUE(own.start(&error)) << error.toStdString();
    ScriptedPrompter prompter;
    ExcelSession session(&own, prompter, folder.path());
    ASSERT_TRUE(session.OpenNew(QString(), folder.file(QStringLiteral("g.xls"))));
    EXPECT_TRUE(session.SaveAndClose());
    own.shutdown();

    QFile written(registry);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray text = written.readAll();
    EXPECT_EQ(text.count("GlyphsCacheSize"), 1) << text.toStdString();
    EXPECT_TRUE(text.contains("<value>" + QByteArray::number(OfficeProfileSettings::kGlyphsCacheBytes) + "</value>"));
    EXPECT_FALSE(text.contains("20000000"));
    EXPECT_TRUE(text.contains("CreateBackup"));
    EXPECT_TRUE(text.contains("ooSetupInstCompleted")) << "the office ran with this profile and wrote it back";
    EXPECT_EQ(OfficeProfileSettings::Merged(text), text) << "a profile already bounded is left as it is";
}

TEST(OfficeLifecycle, NoOfficeOutlivesTheProgram)
{
    for (const char *mode : {"exit", "crash"}) {
        Folder folder;
        const QString pidPath = folder.file(QStringLiteral("pid"));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUARVEL_OFFICE_CHILD"), QString::fromLatin1(mode));
        env.insert(QStringLiteral("QUARVEL_OFFICE_CHILD_FOLDER"), folder.path());
        child.setProcessEnvironment(env);
        child.start(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(),
                    {QStringLiteral("--gtest_filter=OfficeLifecycle.WithoutLibreOfficeTheOperatorIsToldNotCrashed")});
        ASSERT_TRUE(child.waitForFinished(60000)) << mode;
        if (std::string(mode) == "exit") {
            EXPECT_TRUE(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0)
                << "the program ends cleanly without shutting the office down: "
                << child.readAllStandardError().toStdString();
        }
        QFile pidFile(pidPath);
        ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly)) << mode << ": " << child.readAllStandardOutput().toStdString();
        const QStringList told = QString::fromLocal8Bit(pidFile.readAll()).split(u'\n');
        const qint64 officePid = told.first().toLongLong();
        ASSERT_GT(officePid, 0) << mode;
        EXPECT_TRUE(processEnds(officePid)) << mode << ": office " << officePid << " outlived its program";
        ASSERT_EQ(told.size(), 3) << mode;
        for (const QString &pipe : told.mid(1)) {
            // A program that ends removes its office's pipes; after a crash
            // they stay until the next office in that profile starts.
            if (std::string(mode) == "exit") {
                EXPECT_FALSE(QFileInfo::exists(pipe)) << pipe.toStdString();
            }
            QFile::remove(pipe);
        }
    }
}

TEST(OfficeLifecycle, AProfileFolderOthersCanWriteIsNotUsed)
{
    Folder folder;
    OfficeEngine::Options options;
    options.profileBase = folder.file(QStringLiteral("planted"));
    // Made ready by someone else: everybody may put a profile in it.
    ASSERT_EQ(::mkdir(QFile::encodeName(options.profileBase).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(options.profileBase).constData(), 0777), 0);
    OfficeEngine own(options);
    QString error;
    ASSERT_TRUE(own.start(&error)) << error.toStdString();
    EXPECT_GT(own.officeProcessId(), 0);
    EXPECT_TRUE(QDir(options.profileBase).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty())
        << "the office took its profile elsewhere";
}

TEST(OfficeLifecycle, WithoutLibreOfficeTheOperatorIsToldNotCrashed)
{
    Folder folder;
    ScriptedPrompter prompter;
    OfficeEngine::Options noOffice;
    noOffice.programFolder = folder.file(QStringLiteral("no-libreoffice"));
    noOffice.profileBase = folder.file(QStringLiteral("profiles"));
    OfficeEngine::Options noModule = noOffice;
    noModule.modulePath = folder.file(QStringLiteral("libquarvel_office_uno.so"));
    // An office program that dies at once.
    OfficeEngine::Options dying = noOffice;
    dying.programFolder = folder.file(QStringLiteral("dying"));
    QDir().mkpath(dying.programFolder);
    QFile program(QDir(dying.programFolder).filePath(QStringLiteral("soffice.bin")));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.write("#!/bin/sh\nexit 3\n");
    program.close();
    program.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    for (const OfficeEngine::Options &options : {noOffice, noModule, dying}) {
        OfficeEngine missing(options);
        ExcelSession session(&missing, prompter, folder.path());
        const QString path = folder.file(QStringLiteral("never.xls"));
        EXPECT_FALSE(session.OpenNew(QStringLiteral("LIST"), path));
        EXPECT_EQ(session.GetErrorText(), kCannotStart);
        EXPECT_FALSE(QFileInfo::exists(path));
        QString detail;
        EXPECT_FALSE(missing.start(&detail));
        EXPECT_FALSE(detail.isEmpty());
        EXPECT_EQ(missing.officeProcessId(), 0);
    }
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST(OfficeLifecycle, SessionsOnSeveralThreadsShareTheOneOffice)
{
    Folder folder;
    constexpr int kThreads = 4, kDocuments = 3;
    std::atomic<int> saved{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            ScriptedPrompter prompter;
            for (int d = 0; d < kDocuments; ++d) {
                ExcelSession session(&engine(), prompter, folder.path());
                if (!session.OpenNew(QString(), folder.file(QStringLiteral("t%1-%2.xls").arg(t).arg(d))))
                    continue;
                for (int row = 1; row <= 20; ++row)
                    session.SetCellText(row, 1, QStringLiteral("线程%1文档%2行%3").arg(t).arg(d).arg(row));
                saved += session.SaveAndClose() ? 1 : 0;
            }
        });
    for (std::thread &t : threads)
        t.join();
    EXPECT_EQ(saved, kThreads * kDocuments);
    const QJsonObject book = readXls(folder.file(QStringLiteral("t2-1.xls")), true);
    EXPECT_EQ(cell(book, "A20")[QStringLiteral("value")].toString(), QStringLiteral("线程2文档1行20"));
    EXPECT_EQ(book[QStringLiteral("rows")].toInt(), 20);
}
