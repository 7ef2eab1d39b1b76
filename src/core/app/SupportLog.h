#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>

namespace quarvel {

// The support log of an installation, DATA_SYS/log/quarvel.log: what the
// operator was shown, every server request with its status and duration, and
// every repair at start-up, one timestamped line each, so that support can
// read what happened at a counter. The window and quarvelctl may write it at
// the same time; each line is appended whole under a lock. At 5 MB the file
// is rotated (quarvel.log.1 ... .4 keep the older lines). Passwords and
// session keys are never written: requests are logged by operation only, and
// every text passes Redact() on its way in.
class SupportLog {
public:
    static constexpr qint64 kRotateBytes = 5 * 1024 * 1024;
    static constexpr int kFiles = 5;

    // The log of the running program; it writes nothing until a start-up
    // names the installation's folder.
    static SupportLog &Process();
    // DATA_SYS/log below a root folder ending in "/".
    static QString FolderOf(const QString &root);
    static QString FileName() { return QStringLiteral("quarvel.log"); }

    SupportLog() = default;
    explicit SupportLog(const QString &folder) : folder_(folder) {}
    void setFolder(const QString &folder);
    QString folder() const;
    QString filePath() const;

    // Appends "TIME [PID] SOURCE: TEXT"; the text is kept on one line.
    // False when there is no folder or the line could not be written.
    bool Write(const QString &source, const QString &text);
    // A message box or printed message: "KIND TITLE: TEXT" ("KIND: TEXT" without a title).
    void Message(const QString &kind, const QString &title, const QString &text);

    // The last lines of the log (the rotated file's end too, when the current
    // one holds fewer).
    QStringList Tail(int lines) const;
    // The text with the values of password, digest, key, session and cookie
    // fields replaced by "***".
    static QString Redact(const QString &text);

private:
    bool appendLocked(int fd, const QByteArray &line);
    void rotate();

    mutable QMutex mutex_;
    QString folder_;
};

} // namespace quarvel
