#include "OfficeProcess.h"

#include "OfficeProfileSettings.h"
#include "storage/PrivateFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace quarvel {

namespace {

constexpr int kProfileSlots = 64;

// The osl library of LibreOffice puts every named pipe here.
QString oslPipePath(const QString &name)
{
    return QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(::getuid()).arg(name);
}

// LibreOffice names its single-instance pipe after the MD5 of the profile
// URL in UTF-16, each byte in hex without leading zeros.
QString singleInstancePipeName(const QString &profileUrl)
{
    const QByteArray utf16(reinterpret_cast<const char *>(profileUrl.utf16()), profileUrl.size() * 2);
    QString hex;
    for (const char byte : QCryptographicHash::hash(utf16, QCryptographicHash::Md5))
        hex += QString::number(static_cast<unsigned char>(byte), 16);
    return QStringLiteral("SingleOfficeIPC_") + hex;
}

// Everything the child needs, built before fork: after it only system calls run.
struct ChildArguments {
    std::vector<std::string> strings;
    std::vector<char *> argv;
    std::vector<std::string> environmentStrings;
    std::vector<char *> envp;
};

ChildArguments childArguments(const QStringList &args, const QString &tempFolder)
{
    ChildArguments c;
    for (const QString &a : args)
        c.strings.push_back(QFile::encodeName(a).toStdString());
    for (std::string &s : c.strings)
        c.argv.push_back(s.data());
    c.argv.push_back(nullptr);
    for (char **e = environ; e && *e; ++e) {
        const std::string entry(*e);
        if (entry.rfind("TMPDIR=", 0) != 0 && entry.rfind("SAL_ENABLE_FILE_LOCKING=", 0) != 0)
            c.environmentStrings.push_back(entry);
    }
    c.environmentStrings.push_back("TMPDIR=" + QFile::encodeName(tempFolder).toStdString());
    c.environmentStrings.push_back("SAL_ENABLE_FILE_LOCKING=1");
    for (std::string &s : c.environmentStrings)
        c.envp.push_back(s.data());
    c.envp.push_back(nullptr);
    return c;
}

// The pipe files of the offices this program started and has not stopped.
// When the program ends without stopping them, their offices die with it and
// the files are removed here; at that time only unlink is safe to call.
struct LivePipeFiles {
    std::mutex mutex;
    std::set<std::string> files;

    static LivePipeFiles &instance()
    {
        // Never destroyed: it is needed at exit, after static destructors may have run.
        static LivePipeFiles *live = [] {
            auto *made = new LivePipeFiles;
            std::atexit(removeAll);
            return made;
        }();
        return *live;
    }
    static void removeAll()
    {
        LivePipeFiles &live = instance();
        if (!live.mutex.try_lock())
            return;
        for (const std::string &file : live.files)
            ::unlink(file.c_str());
        live.mutex.unlock();
    }
    void track(const QStringList &names, bool live)
    {
        std::lock_guard lock(mutex);
        for (const QString &name : names) {
            const std::string file = QFile::encodeName(name).toStdString();
            if (live)
                files.insert(file);
            else
                files.erase(file);
        }
    }
};

[[noreturn]] void execChild(pid_t parent, int devNull, int errorPipe, ChildArguments &c)
{
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent)
        ::_exit(127);
    ::dup2(devNull, 0);
    ::dup2(devNull, 1);
    ::dup2(devNull, 2);
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    for (int s = 1; s < NSIG; ++s)
        ::sigaction(s, &defaultAction, nullptr);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    ::execve(c.argv[0], c.argv.data(), c.envp.data());
    const int error = errno;
    [[maybe_unused]] const ssize_t n = ::write(errorPipe, &error, sizeof error);
    ::_exit(127);
}

} // namespace

OfficeProcess::OfficeProcess(const QString &programFolder, const QString &profileBase)
    : program_(QDir(programFolder).filePath(QStringLiteral("soffice.bin"))), profileBase_(profileBase)
{
}

OfficeProcess::~OfficeProcess()
{
    stop(0);
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

QString OfficeProcess::defaultProfileBase()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return cache.isEmpty() ? QString() : cache + QStringLiteral("/quarvel/office");
}

bool OfficeProcess::takeProfileSlot(QString &error)
{
    QStringList bases;
    if (!profileBase_.isEmpty())
        bases << profileBase_;
    bases << QDir::tempPath() + QStringLiteral("/quarvel-office-%1").arg(::getuid());
    // The name under /tmp is one anybody can take first: it is used only when
    // it is this user's own and nobody else can write in it.
    QStringList refused;
    for (const QString &base : bases) {
        QString why;
        if (!PrivateFolder::Ensure(base, &why)) {
            refused << why;
            continue;
        }
        for (int n = 0; n < kProfileSlots; ++n) {
            const QString slot = QDir(base).filePath(QStringLiteral("profile-%1").arg(n));
            const int fd = ::open(QFile::encodeName(slot + QStringLiteral(".lock")).constData(),
                                  O_RDWR | O_CREAT | O_CLOEXEC, 0600);
            if (fd < 0)
                break;
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
                ::close(fd);
                continue;
            }
            lockFd_ = fd;
            profileFolder_ = slot;
            tempFolder_ = slot + QStringLiteral(".tmp");
            profileUrl_ = QUrl::fromLocalFile(slot).toString(QUrl::FullyEncoded);
            const QByteArray digest = QCryptographicHash::hash(profileUrl_.toUtf8(), QCryptographicHash::Md5);
            pipeName_ = QStringLiteral("quarvel_") + QString::fromLatin1(digest.toHex().left(16));
            return true;
        }
    }
    error = QStringLiteral("没有可用的LibreOffice配置目录。");
    if (!refused.isEmpty())
        error += QStringLiteral("\r\n") + refused.join(QStringLiteral("\r\n"));
    return false;
}

bool OfficeProcess::launch(QString &error)
{
    stop(0);
    if (lockFd_ < 0 && !takeProfileSlot(error))
        return false;
    if (!OfficeProfileSettings::Apply(profileFolder_, error))
        return false;
    if (!QFileInfo(program_).isExecutable()) {
        error = QStringLiteral("找不到LibreOffice程序:") + program_;
        return false;
    }
    removePipeFiles();
    QDir(tempFolder_).removeRecursively();
    QDir().mkpath(tempFolder_);

    ChildArguments args =
        childArguments({program_, QStringLiteral("--headless"), QStringLiteral("--invisible"),
                        QStringLiteral("--norestore"), QStringLiteral("--nologo"), QStringLiteral("--nodefault"),
                        QStringLiteral("--nolockcheck"), QStringLiteral("-env:UserInstallation=") + profileUrl_,
                        QStringLiteral("--accept=pipe,name=%1;urp;").arg(pipeName_)},
                       tempFolder_);
    const int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    int errorPipe[2];
    if (devNull < 0 || ::pipe2(errorPipe, O_CLOEXEC) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        if (devNull >= 0)
            ::close(devNull);
        return false;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0)
        execChild(parent, devNull, errorPipe[1], args);
    ::close(errorPipe[1]);
    ::close(devNull);
    if (pid < 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        ::close(errorPipe[0]);
        return false;
    }
    ::setpgid(pid, pid);
    int childError = 0;
    ssize_t n;
    do
        n = ::read(errorPipe[0], &childError, sizeof childError);
    while (n < 0 && errno == EINTR);
    ::close(errorPipe[0]);
    if (n == sizeof childError) {
        ::waitpid(pid, nullptr, 0);
        error = QStringLiteral("无法运行") + program_ + QStringLiteral(":") +
                QString::fromLocal8Bit(std::strerror(childError));
        return false;
    }
    pid_ = pid;
    exitCode_ = 0;
    LivePipeFiles::instance().track(pipeFiles(), true);
    return true;
}

bool OfficeProcess::running()
{
    const pid_t pid = pid_.load();
    if (pid <= 0)
        return false;
    int status = 0;
    const pid_t r = ::waitpid(pid, &status, WNOHANG);
    if (r == 0)
        return true;
    exitCode_ = (r == pid && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
    // The group keeps its number for stop(): only the leader is gone.
    pid_ = -pid;
    return false;
}

bool OfficeProcess::waitForExit(int ms)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (running()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void OfficeProcess::stop(int graceMs)
{
    const pid_t group = std::abs(pid_.load());
    if (group == 0)
        return;
    if (!waitForExit(graceMs)) {
        ::kill(-group, SIGTERM);
        if (!waitForExit(3000)) {
            ::kill(-group, SIGKILL);
            waitForExit(10000);
        }
    }
    // Anything the office started in its group goes with it.
    ::kill(-group, SIGKILL);
    pid_ = 0;
    removePipeFiles();
    QDir(tempFolder_).removeRecursively();
}

void OfficeProcess::kill()
{
    const pid_t group = std::abs(pid_.load());
    if (group > 0)
        ::kill(-group, SIGKILL);
}

QStringList OfficeProcess::pipeFiles() const
{
    if (pipeName_.isEmpty())
        return {};
    return {oslPipePath(pipeName_), oslPipePath(singleInstancePipeName(profileUrl_))};
}

void OfficeProcess::removePipeFiles()
{
    const QStringList files = pipeFiles();
    for (const QString &file : files)
        QFile::remove(file);
    LivePipeFiles::instance().track(files, false);
}

} // namespace quarvel
