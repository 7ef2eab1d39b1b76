#pragma once

#include "net/HttpTimeouts.h"

#include <QByteArray>

#include <span>

namespace quarvel {

// The hand-made HTTP/1.0 requests of the client: one connection per request,
// the reply body placed at the start of the caller's buffer and NUL-terminated.
// Hosts are "name[:port]"; the Host header carries the host text as given.

// Error results of HttpPost.
enum HttpPostError {
    kPostNoSocket = -2,
    kPostNoAddress = -3,
    kPostOptionFailed = -4,
    kPostNotConnected = -5,
    kPostBadStatus = -6,
    // The body ended before the length its header declared.
    kPostCutOff = -7,
    // The reply did not arrive within the request's time.
    kPostTimedOut = -8,
};

// Error results of HttpGet.
enum HttpGetError {
    kGetNoSocket = -100,
    kGetBadStatus = -102,
    kGetNoAddress = -103,
    kGetNotConnected = -120,
    kGetTimedOut = -121,
    kGetCutOff = -122,
};

// Posts a GBK body to the path (port 80 unless the host names one) and reads
// the reply as HttpReply::ReadPost does. Returns the body bytes placed in the
// buffer or an HttpPostError.
int HttpPost(const QByteArray &host, const QByteArray &path, const QByteArray &body, std::span<char> buffer,
             const HttpTimeouts &timeouts = {});

// Gets the path, sending the cookie text when it is not empty, and reads the
// reply as HttpReply::ReadGet does. `port` applies when the host names none.
// Returns the body bytes placed in the buffer or an HttpGetError.
int HttpGet(const QByteArray &host, const QByteArray &path, std::span<char> buffer, QByteArray &cookie,
            const QByteArray &referer = {}, int port = 80, const HttpTimeouts &timeouts = {});

// True for a dotted IPv4 address as a server names it: 7 to 15 characters of
// digits and exactly three dots, every part a number below 256.
bool IsIpAddress(const char *text);
bool IsIpAddress(const QByteArray &text);

// The server a reply names instead of answering: the reply up to its first
// NUL, as a C string reads it, when that is a dotted IPv4 address; else an
// empty text. What follows a NUL never becomes part of a host.
QByteArray RedirectAddress(const QByteArray &reply);

} // namespace quarvel
