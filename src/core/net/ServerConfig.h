#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quarvel {

class ServerSession;

// The installation's link to its company server, kept in DATA_SYS/server.cfg
// as "host=..." and "site=..." lines: the server host ("name[:port]", port 80
// when not given) and the site code the server knows this customer's
// installation by.
class ServerConfig {
public:
    static QString defaultHost() { return QStringLiteral("127.0.0.1:8080"); }
    static QString defaultSite() { return QStringLiteral("DEMO"); }
    static QString fileName() { return QStringLiteral("DATA_SYS/server.cfg"); }

    explicit ServerConfig(const QString &path);

    // What reading the file found wrong: a host or site that cannot be used
    // (the value is then empty, so that no other server is reached in its
    // place) and lines that are not settings.
    struct Trouble {
        QStringList errors;
        QStringList damage;
    };

    // Reads the file; a missing file or a missing line keeps the defaults.
    Trouble Load();
    Trouble Parse(const QByteArray &text);
    // Writes both values; false when the file cannot be written.
    bool Save() const;

    const QString &host() const { return host_; }
    const QString &site() const { return site_; }
    // Take a value when it is acceptable; otherwise return the reason.
    QString setHost(const QString &host);
    QString setSite(const QString &site);

    // The configured host and site code of the session.
    void applyTo(ServerSession &session) const;

    // The reason a value is not acceptable, or an empty text.
    static QString checkHost(const QString &host);
    static QString checkSite(const QString &site);

private:
    QString path_;
    QString host_;
    QString site_;
};

} // namespace quarvel
