#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs the command-line tool built with the tests and keeps what it printed.
struct CtlResult {
    int code = -1;
    QByteArray out;
    QByteArray err;
    QString errText() const { return QString::fromUtf8(err); }
};

inline CtlResult runQuarvelctl(const QStringList &args, const QByteArray &input = QByteArray(), int timeoutMs = 120000)
{
    QProcess p;
    p.start(QStringLiteral(QUARVELCTL_PATH), args);
    p.waitForStarted();
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(timeoutMs))
        p.kill();
    CtlResult r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}
