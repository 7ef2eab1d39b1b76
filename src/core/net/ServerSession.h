#pragma once

#include "net/HttpTimeouts.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <atomic>

namespace quarvel {

struct LoginReply;

// The link to the company server for the whole run: where it is, who is
// logged in and what the login returned. Only a successful login changes the
// session values; there is no log-out.
class ServerSession {
public:
    // The six checkpoint default lines of a login reply, in reply order.
    enum DefaultLine { StationCode, SecondStationCode, Place, Information, PlaceEnglish, InformationEnglish };
    static constexpr int kDefaultLines = 6;

    ServerSession();
    ServerSession(const ServerSession &) = delete;
    ServerSession &operator=(const ServerSession &) = delete;

    // The configured host ("name[:port]") and the site code.
    void configure(const QByteArray &host, const QString &siteCode);
    const QByteArray &configuredHost() const { return configuredHost_; }
    const QString &siteCode() const { return siteCode_; }

    // The IPv4 address a server named at login; it stays for the whole run.
    void setRedirectHost(const QByteArray &address) { redirectHost_ = address; }
    const QByteArray &redirectHost() const { return redirectHost_; }
    // The host every transaction goes to: the redirect address (on the
    // configured host's port) when there is one, else the configured host.
    QByteArray CurrentServerHost() const;
    // The host text for an address that a server named, on the configured port.
    QByteArray redirectTarget(const QByteArray &address) const;

    bool loggedIn() const { return sessionNumber_ > 0; }
    const QString &account() const { return account_; }
    const QString &password() const { return password_; }
    int sessionNumber() const { return sessionNumber_; }
    int clientId() const { return clientId_; }
    int uploadTarget() const { return uploadTarget_; }
    bool defaultsPresent() const { return defaultsPresent_; }
    // A default line as received (GBK) and as text.
    const QByteArray &defaultLineBytes(DefaultLine line) const { return defaultLines_[line]; }
    QString defaultLine(DefaultLine line) const;

    // Takes the values of an accepted login reply for the typed account.
    void applyLogin(const LoginReply &reply, const QString &account, const QString &password);

    quint32 localeId() const { return localeId_; }
    void setLocaleId(quint32 id) { localeId_ = id; }

    // Set while an upload or pricing worker runs, so that a second one waits.
    std::atomic<bool> &uploadBusy() { return uploadBusy_; }

    const HttpTimeouts &timeouts() const { return timeouts_; }
    void setTimeouts(const HttpTimeouts &timeouts) { timeouts_ = timeouts; }

    // The main window's caption: "title - 已登入[account :: client id]" or
    // "title - 离线状态".
    QString Caption(const QString &title) const;

private:
    QByteArray configuredHost_;
    QString siteCode_;
    QByteArray redirectHost_;
    QString account_;
    QString password_;
    int sessionNumber_ = 0;
    int clientId_ = 0;
    int uploadTarget_ = 0;
    bool defaultsPresent_ = false;
    std::array<QByteArray, kDefaultLines> defaultLines_;
    quint32 localeId_;
    std::atomic<bool> uploadBusy_{false};
    HttpTimeouts timeouts_;
};

} // namespace quarvel
