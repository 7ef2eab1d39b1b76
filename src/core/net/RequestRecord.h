#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <cstddef>

namespace quarvel {

// The support log's line about one server request, gathered as the
// connection carries it: the host, the operation (the name after "?" in the
// path and a transaction's <OP> number, never the arguments that follow,
// such as the login's account and digest), the reply's status line, the bytes
// received and the time taken. Written once, when the connection closes.
class RequestRecord {
public:
    void Start(const QByteArray &host);
    void Sent(const QByteArray &bytes);
    void Received(const char *bytes, std::size_t count);
    // Writes the line (once); `failure` says why no request went out.
    void Finish(const QString &failure = QString(), bool timedOut = false);

    // "GET KVGetSysData" from the first bytes of a request; empty when they
    // start no request.
    static QString Operation(const QByteArray &requestStart);
    // " op 3" from a transaction envelope; empty when it has none.
    static QString TransactionOperation(const QByteArray &body);

private:
    bool active_ = false;
    QByteArray host_;
    QString operation_;
    QByteArray status_;
    bool statusComplete_ = false;
    qint64 received_ = 0;
    QElapsedTimer timer_;
};

} // namespace quarvel
