#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <csignal>
#include <memory>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

// How TarvoServer starts the server.
struct TarvoServerOptions {
    QString address = QStringLiteral("127.0.0.1");
    int port = 0;      // 0: a free port
    bool demo = true;  // seed the demo data
    QString dataFile;  // empty: a file in a temporary folder of the helper, kept across restarts
    QStringList extra; // further options, e.g. --redirect-to 127.0.0.2
};

// Runs the stand-in server built with the tests (TARVO_SERVER_PATH) on a
// loopback address, reads the port it bound from its first line and stops
// it when the test ends. Its request log goes to the test's stderr.
class TarvoServer {
public:
    using Options = TarvoServerOptions;

    TarvoServer() = default;
    ~TarvoServer() { stop(); }
    TarvoServer(const TarvoServer &) = delete;
    TarvoServer &operator=(const TarvoServer &) = delete;

    // Starts the server and waits until it listens; false when it ended or
    // stayed silent instead (its output is in output()).
    bool start(const Options &options = Options())
    {
        stop();
        options_ = options;
        if (options_.dataFile.isEmpty()) {
            if (!dir_)
                dir_ = std::make_unique<QTemporaryDir>();
            options_.dataFile = dir_->filePath(QStringLiteral("server.db"));
        }
        QStringList args{QStringLiteral("--listen"),
                         options_.address + QLatin1Char(':') + QString::number(options_.port), QStringLiteral("--data"),
                         options_.dataFile};
        if (options_.demo)
            args << QStringLiteral("--demo");
        args << options_.extra;
        process_ = std::make_unique<QProcess>();
        process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // A test that dies takes its server with it: an orphan would keep the
        // test's output open and the test runner waiting.
        process_->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        process_->start(QStringLiteral(TARVO_SERVER_PATH), args);
        if (!process_->waitForStarted(5000))
            return false;
        const QDeadlineTimer deadline(10000);
        while (!process_->canReadLine()) {
            if (process_->state() != QProcess::Running || deadline.hasExpired())
                break;
            process_->waitForReadyRead(100);
        }
        output_ = process_->canReadLine() ? process_->readLine().trimmed() : process_->readAllStandardOutput();
        const QByteArray prefix = "listening " + options_.address.toLatin1() + ':';
        if (!output_.startsWith(prefix)) {
            stop();
            return false;
        }
        port_ = output_.mid(prefix.size()).toInt();
        return port_ > 0;
    }

    // Sends SIGTERM and waits; kills the server when it does not end.
    // Returns its exit code (-1 when it had to be killed or was not running).
    int stop()
    {
        if (!process_)
            return -1;
        int code = -1;
        if (process_->state() != QProcess::NotRunning) {
            process_->terminate();
            if (!process_->waitForFinished(5000)) {
                process_->kill();
                process_->waitForFinished(5000);
            } else if (process_->exitStatus() == QProcess::NormalExit) {
                code = process_->exitCode();
            }
        } else if (process_->exitStatus() == QProcess::NormalExit) {
            code = process_->exitCode();
        }
        process_.reset();
        return code;
    }

    // Kills the server at once (SIGKILL), as a crash or a power cut would end it.
    void kill()
    {
        if (!process_)
            return;
        process_->kill();
        process_->waitForFinished(5000);
        process_.reset();
    }

    bool running() const { return process_ && process_->state() == QProcess::Running; }
    QString address() const { return options_.address; }
    int port() const { return port_; }
    // The host text a client configures: "ADDRESS:PORT".
    QString host() const { return options_.address + QLatin1Char(':') + QString::number(port_); }
    QString dataFile() const { return options_.dataFile; }
    QByteArray output() const { return output_; }

    // For a server started with "--test-hooks" among the extra options: sends
    // fault rules, one a line (a line "clear" first drops the rules in force
    // and ends requests held by "hang"). True when the server took them all.
    // Rules: server/README.md; e.g. "waybill=D1 status -10", "next stall 2".
    bool setHooks(const QByteArray &rules) const
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        if (fd < 0)
            return false;
        timeval tv{5, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<uint16_t>(port_));
        inet_pton(AF_INET, options_.address.toLatin1().constData(), &to.sin_addr);
        const QByteArray request =
            "POST /test-hooks HTTP/1.0\r\nContent-Length: " + QByteArray::number(rules.size()) + "\r\n\r\n" + rules;
        QByteArray reply;
        if (::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to) == 0 &&
            ::send(fd, request.constData(), static_cast<size_t>(request.size()), MSG_NOSIGNAL) == request.size()) {
            char buffer[1024];
            ssize_t n = 0;
            while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
                reply.append(buffer, n);
        }
        ::close(fd);
        return reply.startsWith("HTTP/1.1 200") || reply.startsWith("HTTP/1.0 200");
    }

    // The redirect set-up: `target` on 127.0.0.2 with the demo data and
    // `redirecting` on 127.0.0.1 at the same port, answering every login and
    // base-data request with "127.0.0.2". The port is the target's free one,
    // so it is tried again a few times should 127.0.0.1 hold it already.
    static bool startRedirectPair(TarvoServer &redirecting, TarvoServer &target)
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            Options t;
            t.address = QStringLiteral("127.0.0.2");
            if (!target.start(t))
                return false;
            Options r;
            r.port = target.port();
            r.demo = false;
            r.extra = QStringList{QStringLiteral("--redirect-to"), QStringLiteral("127.0.0.2")};
            if (redirecting.start(r))
                return true;
            target.stop();
        }
        return false;
    }

private:
    Options options_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<QProcess> process_;
    QByteArray output_;
    int port_ = 0;
};
