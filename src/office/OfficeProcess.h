#pragma once

#include <QString>
#include <QStringList>

#include <algorithm>
#include <atomic>

#include <sys/types.h>

namespace quarvel {

// The private headless office of this process: soffice.bin started directly
// in its own process group, with a private profile (one of numbered slots,
// each held through a lock file, so that several programs never share one
// and never reach the user's own LibreOffice), a private temporary folder
// and a pipe only this user can reach. The office gets SIGKILL when the
// thread that started it ends, so start it from a thread that lives as long
// as the program. Stopping leaves neither a process nor a pipe behind; so
// does a program that ends without stopping it (its pipes are removed at exit).
class OfficeProcess {
public:
    // Exit code of an office that has just made its new profile and wants a second start.
    static constexpr int kRestartExitCode = 81;

    OfficeProcess(const QString &programFolder, const QString &profileBase);
    ~OfficeProcess();
    OfficeProcess(const OfficeProcess &) = delete;
    OfficeProcess &operator=(const OfficeProcess &) = delete;

    // Starts a new office (after stopping a previous one); it listens on
    // pipeName() once it is up. False with the reason when it cannot start.
    bool launch(QString &error);
    // False once the office has exited (the exit is collected here).
    bool running();
    // The exit code of the office that exited, -1 when a signal ended it.
    int exitCode() const { return exitCode_; }
    // Ends the office: waits up to graceMs for it to leave on its own (after
    // it was asked to), then SIGTERM, then SIGKILL, for the whole group.
    void stop(int graceMs);
    // SIGKILL for the office's group; safe from any thread.
    void kill();

    // The office's process id while it runs (or has not been collected yet), else 0.
    pid_t pid() const { return std::max<pid_t>(pid_.load(), 0); }
    QString pipeName() const { return pipeName_; }
    // The files of the office's named pipes: its own and LibreOffice's single-instance one.
    QStringList pipeFiles() const;

    // The user's cache folder for the office profiles.
    static QString defaultProfileBase();

private:
    bool takeProfileSlot(QString &error);
    bool waitForExit(int ms);
    void removePipeFiles();

    QString program_;
    QString profileBase_;
    QString profileFolder_;
    QString profileUrl_;
    QString tempFolder_;
    QString pipeName_;
    int lockFd_ = -1;
    std::atomic<pid_t> pid_{0};
    int exitCode_ = 0;
};

} // namespace quarvel
