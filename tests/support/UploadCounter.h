#pragma once

#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "net/BaseDataDownload.h"
#include "net/LoginForm.h"
#include "support/LocalShipments.h"
#include "support/TarvoServer.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"
#include "upload/UploadDisplay.h"

#include <QDeadlineTimer>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <vector>

// A counter with its own root folder against a demo tarvo-server started
// with test hooks: base data downloaded, an account logged in, short
// time-outs, and helpers that write records straight into the local files.
class UploadCounter {
public:
    explicit UploadCounter(const QString &account = QStringLiteral("demo"), int timeoutMs = 3000)
        : timeoutMs_(timeoutMs)
    {
        TarvoServer::Options o;
        o.extra = QStringList{QStringLiteral("--test-hooks"), QStringLiteral("--quiet")};
        started_ = server.start(o) && context.Start(prompter) && connect(account);
    }

    bool ready() const { return started_; }

    // Points the session at the (re)started server and logs in.
    bool connect(const QString &account)
    {
        quarvel::ServerSession &s = context.session();
        s.configure(server.host().toLatin1(), QStringLiteral("DEMO"));
        s.setTimeouts({timeoutMs_, timeoutMs_, timeoutMs_});
        if (quarvel::BaseDataDownload::Fetch(s, context.baseDataPath()) != quarvel::BaseDataDownload::Stored ||
            !context.baseData().LoadBaseData(context.baseDataPath()))
            return false;
        quarvel::LoginForm form(s, context.lastAccountPath());
        form.Open();
        form.account = account;
        form.password = account == QStringLiteral("check") ? QStringLiteral("check") : QStringLiteral("demo");
        return form.Confirm(prompter);
    }

    // A shipment to 北京 by 特快专递 with its goods and piece lines.
    int addShipment(const QString &number, const QStringList &goods = {}, const QStringList &pieces = {})
    {
        return LocalShipments::add(context, LocalShipments::shipment(number), goods, pieces);
    }

    int addShipment(quarvel::PreInputRecord r, const QStringList &goods, const QStringList &pieces)
    {
        return LocalShipments::add(context, r, goods, pieces);
    }

    QList<int> addShipments(const QStringList &numbers) { return LocalShipments::addNumbers(context, numbers); }

    int linesOf(int iid)
    {
        int n = 0;
        for (int i = 0; i < context.goods().GetCount(); ++i)
            n += context.goods().At(i)->iparent == iid ? 1 : 0;
        for (int i = 0; i < context.weights().GetCount(); ++i)
            n += context.weights().At(i)->iparent == iid ? 1 : 0;
        return n;
    }

    // Waits until the server took every hook rule (a stalled request holds
    // its rule's last use), so a test acts while that request is under way.
    // `meanwhile` keeps a running upload going: its worker asks the owner's
    // thread for every record before sending it.
    bool waitUntilHooksTaken(int ms = 10000, const std::function<void()> &meanwhile = {}) const
    {
        const QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            if (hookList().trimmed().isEmpty())
                return true;
            if (meanwhile)
                meanwhile();
            QThread::msleep(10);
        }
        return false;
    }

    QByteArray hookList() const
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<uint16_t>(server.port()));
        inet_pton(AF_INET, server.address().toLatin1().constData(), &to.sin_addr);
        QByteArray reply;
        const QByteArray request = "GET /test-hooks HTTP/1.0\r\n\r\n";
        if (::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to) == 0 &&
            ::send(fd, request.constData(), static_cast<size_t>(request.size()), MSG_NOSIGNAL) == request.size()) {
            char buffer[1024];
            ssize_t n = 0;
            while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
                reply.append(buffer, n);
        }
        ::close(fd);
        const qsizetype body = reply.indexOf("\r\n\r\n");
        return body < 0 ? QByteArray("no reply") : reply.mid(body + 4);
    }

    TempRoot root;
    quarvel::ScriptedPrompter prompter;
    quarvel::ClientContext context{root.path()};
    TarvoServer server;

private:
    int timeoutMs_;
    bool started_ = false;
};

// Keeps everything an upload run shows.
class RecordingDisplay : public quarvel::UploadDisplay {
public:
    struct Result {
        int id;
        int status;
        bool removed;
        QString text;
    };

    void uploadProgress(const QString &text) override { progress << text; }
    void uploadResult(int id, int status, bool removed, const QString &text) override
    {
        results.push_back({id, status, removed, text});
    }
    void uploadEnded(quarvel::UploadEnding e, const QString &text) override
    {
        ++endings;
        ending = e;
        endText = text;
    }

    QList<int> removedIds() const
    {
        QList<int> ids;
        for (const Result &r : results)
            if (r.removed)
                ids << r.id;
        return ids;
    }

    QStringList progress;
    std::vector<Result> results;
    int endings = 0;
    quarvel::UploadEnding ending = quarvel::UploadEnding::AllSent;
    QString endText;
};
