#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// A tiny socket client for the server tests: it sends requests built byte for
// byte as the counter client builds them and reads the whole reply.
struct RawReply {
    bool received = false; // a reply came and the server closed the connection
    QByteArray statusLine; // without its CR LF
    QByteArray headers;    // the header lines, each ended by CR LF
    QByteArray body;
    int status() const; // the HTTP status code, 0 when none
    QByteArray header(const QByteArray &name) const;
};

class RawHttp {
public:
    RawHttp(QString address, int port);

    // Sends the bytes and reads until the server closes the connection. With
    // shutDownWriting the sending half is closed after the bytes, as by a
    // client that gave up in the middle of its request.
    RawReply exchange(const QByteArray &request, int timeoutMs = 5000, bool shutDownWriting = false) const;

    // The host text of the Host header: "ADDRESS:PORT".
    QByteArray host() const;

    QByteArray loginRequest(const QByteArray &site, const QByteArray &account, const QByteArray &digest,
                            const QByteArray &time) const;
    QByteArray baseDataRequest(const QByteArray &site) const;
    QByteArray postRequest(const QByteArray &path, const QByteArray &body) const;

    // A login at that time; when the server refuses it as used already
    // (-8: another login of the account in the same second), sent again with
    // the next second, as the client does.
    RawReply login(const QByteArray &site, const QByteArray &account, const QByteArray &password,
                   std::int64_t time) const;
    RawReply post(const QByteArray &body) const { return exchange(postRequest("/cgi-bin/VEdiz.dll?KVTrans", body)); }

    static QByteArray digest(std::int64_t time, const QByteArray &password);
    static std::int64_t now();

private:
    QString address_;
    int port_;
};

// The parts of an envelope; the defaults make a balance request.
struct EnvelopeParts {
    QByteArray version = "1";
    QByteArray site = "DEMO";
    QByteArray account = "demo";
    QByteArray op = "5";
    QByteArray id = "0";
    QByteArray number = "1";
    QByteArray locale = "2052";
    QByteArray session = "0";
    QByteArray payload;
    bool trailingBel = false;

    QByteArray bytes() const;
};

// The session number of a successful login reply "E,ICID,SESSION,TARGET".
QByteArray sessionOf(const RawReply &login);
// GBK bytes of a text.
QByteArray gbk(const char *utf8);
QByteArray gbk(const QString &text);
