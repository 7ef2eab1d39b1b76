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
    enum Exit { Done = 0, Refused = 1, Failed = 2 };

    // Parses the global options in front of the command; false on a usage error.
    bool parse(const QStringList &arguments);
    int run();

    // The context with the record files open; null after the start-up message.
    ClientContext *context(RecordFile::Mode mode = RecordFile::Mode::ReadWrite);
    ConsolePrompter &prompter() { return prompter_; }
    const QString &account() const { return account_; }
    const QString &password() const { return password_; }
    bool passwordFromStdin() const { return passwordStdin_; }
    // Commands that need the server: logs in with --account and the password
    // from standard input unless a session is open. False after the login's
    // message (the command then ends with Failed).
    bool ensureLoggedIn(ClientContext &context);

    // Prints to standard output / standard error, UTF-8.
    static void out(const QString &text);
    static void err(const QString &text);
    static int usage(const QString &text);

private:
    QString root_;
    QString account_;
    QString password_;
    bool passwordStdin_ = false;
    QStringList command_;
    ConsolePrompter prompter_;
    std::unique_ptr<ClientContext> context_;
};

} // namespace quarvel
