#include "net/RequestRecord.h"

#include "app/SupportLog.h"

#include <QRegularExpression>

namespace quarvel {

void RequestRecord::Start(const QByteArray &host)
{
    active_ = true;
    host_ = host;
    operation_.clear();
    status_.clear();
    statusComplete_ = false;
    received_ = 0;
    timer_.start();
}

void RequestRecord::Sent(const QByteArray &bytes)
{
    if (!active_)
        return;
    if (operation_.isEmpty())
        operation_ = Operation(bytes);
    else if (!operation_.contains(QStringLiteral(" op ")))
        operation_ += TransactionOperation(bytes);
}

void RequestRecord::Received(const char *bytes, std::size_t count)
{
    if (!active_)
        return;
    received_ += static_cast<qint64>(count);
    for (std::size_t i = 0; i < count && !statusComplete_; ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n' || status_.size() >= 64)
            statusComplete_ = true;
        else
            status_ += bytes[i];
    }
}

void RequestRecord::Finish(const QString &failure, bool timedOut)
{
    if (!active_)
        return;
    active_ = false;
    QString outcome = failure;
    if (outcome.isEmpty()) {
        outcome = status_.isEmpty() ? QStringLiteral("no reply") : QString::fromLatin1(status_);
        outcome += QStringLiteral(", %1 bytes").arg(received_);
        if (timedOut)
            outcome += QStringLiteral(", timed out");
    }
    SupportLog::Process().Write(
        QStringLiteral("request"),
        QStringLiteral("%1 %2: %3, %4 ms")
            .arg(QString::fromLatin1(host_), operation_.isEmpty() ? QStringLiteral("(not sent)") : operation_, outcome)
            .arg(timer_.elapsed()));
}

QString RequestRecord::Operation(const QByteArray &requestStart)
{
    const qsizetype space = requestStart.indexOf(' ');
    const QByteArray method = requestStart.left(space);
    if (space <= 0 || (method != "GET" && method != "POST"))
        return {};
    QByteArray path = requestStart.mid(space + 1);
    path.truncate(path.indexOf(' ') < 0 ? path.size() : path.indexOf(' '));
    const qsizetype query = path.indexOf('?');
    QByteArray name = query < 0 ? path : path.mid(query + 1);
    name.truncate(name.indexOf('&') < 0 ? name.size() : name.indexOf('&'));
    return QString::fromLatin1(method) + u' ' + QString::fromLatin1(name) + TransactionOperation(requestStart);
}

QString RequestRecord::TransactionOperation(const QByteArray &body)
{
    static const QRegularExpression op(QStringLiteral("<OP>(\\d+)</OP>"));
    const QRegularExpressionMatch m = op.match(QString::fromLatin1(body.left(1024)));
    return m.hasMatch() ? QStringLiteral(" op ") + m.captured(1) : QString();
}

} // namespace quarvel
