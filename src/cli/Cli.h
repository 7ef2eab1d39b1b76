#pragma once

#include "ConsolePrompter.h"
#include "app/ClientContext.h"

#include <QStringList>

#include <memory>

namespace quarvel {

// The shared state of one quarvelctl run: global options, the context built
// from the root folder, and the console prompter.
class Cli {
public:
    // The exit codes: done, refused by a check or by the server, usage or
    // environment error. Usage is a command's usage error: the run prints
    // that command's usage lines after its message and ends with Failed.
    enum Exit { Done = 0, Refused = 1, Failed = 2, Usage = 3 };

    // Parses the global options in front of the command and runs it; returns
    // the exit code of the process.
    int start(const QStringList &arguments);

    // The context with the record files open; null after the start-up message.
    ClientContext *context(RecordFile::Mode mode = RecordFile::Mode::ReadWrite);
    ConsolePrompter &prompter() { return prompter_; }
    // The root folder of the run (--root, else the program's or the user's), ending in "/".
    QString rootFolder() const;
    // Whether the run was asked to log in: --password-stdin, with --account
    // or else the account of the last session.
    bool wantsLogin() const { return passwordStdin_; }
    // Commands that need the server: logs in unless a session is open.
    // Returns Done, or after the message Usage (no login was asked for),
    // Refused (a check or the server refused it) or Failed (no server).
    int logIn(ClientContext &context);

    // Prints to standard output / standard error, UTF-8.
    static void out(const QString &text);
    static void err(const QString &text);
    // Prints what is wrong with the command line; returns Usage.
    static int usage(const QString &text);

private:
    // False after the message when the options cannot be used.
    bool parse(const QStringList &arguments);
    int run();
    // "help [COMMAND [SUBCOMMAND]]": the whole help, or that command's lines.
    int help(const QStringList &command);

    QString root_;
    QString account_;
    QString password_;
    bool passwordStdin_ = false;
    QStringList command_;
    ConsolePrompter prompter_;
    std::unique_ptr<ClientContext> context_;
};

} // namespace quarvel
