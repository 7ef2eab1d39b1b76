#include "net/HttpReply.h"
#include "net/HttpReplyHead.h"
#include "net/HttpTextSource.h"
#include "net/HttpTransport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace quarvel;

namespace {

// The post reply of these bytes: the body, or the error as "#code".
QByteArray post(const QByteArray &reply, std::size_t size = 64, bool timesOut = false)
{
    HttpTextSource source(reply, timesOut);
    std::vector<char> buffer(size, 'x');
    const int n = HttpReply::ReadPost(source, buffer);
    if (n < 0)
        return "#" + QByteArray::number(n);
    EXPECT_EQ(buffer[static_cast<std::size_t>(n)], '\0');
    return QByteArray(buffer.data(), n);
}

QByteArray get(const QByteArray &reply, QByteArray &cookie, bool timesOut = false)
{
    HttpTextSource source(reply, timesOut);
    std::vector<char> buffer(64);
    const int n = HttpReply::ReadGet(source, buffer, cookie);
    return n < 0 ? "#" + QByteArray::number(n) : QByteArray(buffer.data(), n);
}

} // namespace

TEST(HttpReplyHead, StatusCodeStandsRightAfterTheVersion)
{
    EXPECT_EQ(HttpReplyHead::statusCode("HTTP/1.0 200 OK\r"), 200);
    EXPECT_EQ(HttpReplyHead::statusCode("HTTP/1.1 302"), 302);
    EXPECT_EQ(HttpReplyHead::statusCode("HTTP/1.1 404 Not Found 200"), 404);
    for (const char *bad : {"HTTP/1.0 2000", "HTTP/1.0 20", "HTTP/1.0 200OK", "HTTP/1.2 200 OK", "http/1.0 200 OK",
                            "HTTP/1.0\t200", "HTTP/1.0 200\rX", "", "HTTP/1.0 ", " HTTP/1.0 200"})
        EXPECT_EQ(HttpReplyHead::statusCode(bad), -1) << bad;
}

TEST(HttpReplyHead, FramingTheClientSpeaks)
{
    EXPECT_EQ(HttpReplyHead::parse("Server: x\r\nContent-Length: 12\r\n\r\n").contentLength, 12);
    EXPECT_EQ(HttpReplyHead::parse("CONTENT-LENGTH:7\r\n").contentLength, 7) << "names ignore case";
    EXPECT_FALSE(HttpReplyHead::parse("Server: x\r\n").contentLength.has_value());
    EXPECT_EQ(HttpReplyHead::parse("Content-Length: 99999999999999999999\r\n").contentLength, 1'000'000'000'000LL);
    for (const char *bad : {"Transfer-Encoding: chunked\r\n", "Content-Encoding: gzip\r\n", "Content-Length: 12x\r\n",
                            "Content-Length: -1\r\n", "Content-Length:\r\n",
                            "Content-Length: 1\r\nContent-Length: 2\r\n", "Transfer-Encoding: gzip, chunked\r\n"}) {
        const HttpReplyHead head = HttpReplyHead::parse(bad);
        EXPECT_FALSE(head.framingSpoken) << bad;
        EXPECT_FALSE(head.contentLength.has_value()) << bad;
    }
    EXPECT_TRUE(HttpReplyHead::parse("Transfer-Encoding: Identity\r\nContent-Length: 3\r\n").framingSpoken);
}

TEST(HttpReply, PostReplyFraming)
{
    EXPECT_EQ(post("HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\n12\nrest"), "12\n");
    EXPECT_EQ(post("HTTP/1.0 200 OK\r\n\r\nuntil the end"), "until the end");
    EXPECT_EQ(post("HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\n12"), "#-7") << "cut off";
    EXPECT_EQ(post("HTTP/1.0 200 OK\r\nContent-Length: 3"), "#-6") << "headers never ended";
    EXPECT_EQ(post("HTTP/1.0 200 OK"), "#-6") << "status line never ended";
    EXPECT_EQ(post("HTTP/1.0 200 OK\r\n\r\n12", 64, true), "#-8") << "no close: the wait ran out";
    EXPECT_EQ(post("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\n12", 64, true), "12") << "whole before time ran out";
    EXPECT_EQ(post("HTTP/1.0 200", 64, true), "#-8");
    // A declared length at or beyond the buffer takes len - 1 bytes.
    EXPECT_EQ(post("HTTP/1.0 200 OK\r\nContent-Length: 900\r\n\r\n" + QByteArray(900, 'b')).size(), 63);
    // The status line and headers share the buffer; a block longer than it never ends.
    EXPECT_EQ(post("HTTP/1.0 200 OK\r\nServer: " + QByteArray(100, 's') + "\r\n\r\n1\n"), "#-6");
}

TEST(HttpReply, GetReplyFramingAndCookies)
{
    QByteArray cookie = "old=1;";
    EXPECT_EQ(get("HTTP/1.0 200 OK\r\nSet-Cookie: a=1; path=/\r\n\r\nbody", cookie), "body");
    EXPECT_EQ(cookie, "a=1;");
    // A refused reply leaves the cookie as it was.
    EXPECT_EQ(get("HTTP/1.0 200 OK\r\nSet-Cookie: b=2\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nbody", cookie),
              "#-102");
    EXPECT_EQ(get("HTTP/1.0 200 OK\r\nContent-Length: 9\r\n\r\nbody", cookie), "#-122");
    EXPECT_EQ(get("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nbody", cookie), "body") << "read until the close";
    EXPECT_EQ(get("HTTP/1.0 200 OK\r\n\r\nbody", cookie, true), "#-121");
    EXPECT_EQ(get("HTTP/1.0 301 Moved\r\n\r\n10.0.0.1", cookie), "10.0.0.1");
    EXPECT_EQ(cookie, "a=1;");
}
