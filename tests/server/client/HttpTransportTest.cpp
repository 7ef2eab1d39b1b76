#include "net/HttpTransport.h"
#include "support/ScriptedHttpServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

using namespace quarvel;

namespace {

// Short waits: a silent server costs a fraction of a second.
const HttpTimeouts kQuick{400, 400, 400};

QByteArray body(const std::vector<char> &buffer, int n)
{
    return QByteArray(buffer.data(), n);
}

// A loopback port on which nothing listens.
int closedPort()
{
    ScriptedHttpServer probe;
    return probe.port();
}

} // namespace

TEST(HttpTransport, PostSendsTheExactRequestAndReadsContentLength)
{
    ScriptedHttpServer server;
    ASSERT_TRUE(server.listening());
    server.reply(ScriptedHttpServer::ok("12\nabc") + "trailing bytes the length excludes");
    std::vector<char> buffer(1024, 'x');
    const QByteArray envelope = "<WER>1</WER>\xb1\xb1\xbe\xa9\a</DATA>\n";
    const int n = HttpPost(server.host(), "/cgi-bin/VEdiz.dll?KVTrans", envelope, buffer, kQuick);
    ASSERT_EQ(n, 6);
    EXPECT_EQ(body(buffer, n), "12\nabc");
    EXPECT_EQ(buffer[6], '\0');
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first(),
              "POST /cgi-bin/VEdiz.dll?KVTrans HTTP/1.0\r\nAccept: */*\r\nHost: " + server.host() +
                  "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\nContent-Length: 25\r\n"
                  "Content-Type: text/xml; charset=gbk\r\nConnection: close\r\n\r\n" +
                  envelope);
}

TEST(HttpTransport, GetSendsRefererAndCookieAndKeepsTheNewCookies)
{
    ScriptedHttpServer server;
    server.reply("HTTP/1.0 200 OK\r\nSet-Cookie: SID=abc; path=/\r\nset-cookie:   lang=zh\r\n"
                 "SET-COOKIE: t=1; Expires=Wed, 09 Jun 2021 10:18:14 GMT\r\n\r\nhello");
    std::vector<char> buffer(4096);
    QByteArray cookie = "old=1;";
    const int n = HttpGet(server.host(), "/a?b=c", buffer, cookie, "http://x/", 80, kQuick);
    ASSERT_EQ(n, 5);
    EXPECT_EQ(body(buffer, n), "hello");
    EXPECT_EQ(cookie, "SID=abc;lang=zh;t=1;");
    EXPECT_EQ(server.requests().first(),
              "GET /a?b=c HTTP/1.0\r\nAccept: */*\r\nHost: " + server.host() +
                  "\r\nReferer: http://x/\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"
                  "Cookie: old=1;\r\n\r\n");

    // Without referer and cookie those lines are left out; a reply without
    // Set-Cookie keeps the cookie text as it was.
    server.reply("HTTP/1.0 200 OK\r\nServer: x\r\n\r\nbody");
    QByteArray none;
    EXPECT_EQ(HttpGet(server.host(), "/p", buffer, none, {}, 80, kQuick), 4);
    EXPECT_TRUE(none.isEmpty());
    EXPECT_EQ(server.requests().at(1),
              "GET /p HTTP/1.0\r\nAccept: */*\r\nHost: " + server.host() +
                  "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n\r\n");
}

TEST(HttpTransport, CookieTextThatWouldFillTheBufferIsNotTaken)
{
    ScriptedHttpServer server;
    server.reply("HTTP/1.0 200 OK\r\nSet-Cookie: a=" + QByteArray(1021, 'v') + "\r\n\r\nx");
    std::vector<char> buffer(4096);
    QByteArray cookie = "kept=1;";
    EXPECT_EQ(HttpGet(server.host(), "/", buffer, cookie, {}, 80, kQuick), 1);
    EXPECT_EQ(cookie, "kept=1;") << "a=, 1021 bytes and ';' make 1024";

    server.reply("HTTP/1.0 200 OK\r\nSet-Cookie: a=" + QByteArray(1020, 'v') + "\r\n\r\nx");
    EXPECT_EQ(HttpGet(server.host(), "/", buffer, cookie, {}, 80, kQuick), 1);
    EXPECT_EQ(cookie.size(), 1023);
}

TEST(HttpTransport, StatusChecksOfPostAndGet)
{
    ScriptedHttpServer server;
    std::vector<char> buffer(1024);
    QByteArray cookie;
    server.reply("HTTP/1.0 404 Not Found\r\nContent-Length: 3\r\n\r\nnot");
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), kPostBadStatus);
    server.reply("HTTP/1.0 404 Not Found\r\n\r\nnot");
    EXPECT_EQ(HttpGet(server.host(), "/", buffer, cookie, {}, 80, kQuick), kGetBadStatus);

    // A redirect passes the get's check and its body is returned; the post
    // wants 200.
    server.reply("HTTP/1.1 302 Found\r\nLocation: /elsewhere\r\n\r\nmoved");
    const int n = HttpGet(server.host(), "/", buffer, cookie, {}, 80, kQuick);
    ASSERT_EQ(n, 5);
    EXPECT_EQ(body(buffer, n), "moved");
    server.reply("HTTP/1.1 302 Found\r\nContent-Length: 5\r\n\r\nmoved");
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), kPostBadStatus);
}

TEST(HttpTransport, PostBodyLengthRules)
{
    ScriptedHttpServer server;
    std::vector<char> buffer(1024);
    const QByteArray big(5000, 'b');

    // Without Content-Length: until the server closes...
    server.reply("HTTP/1.0 200 OK\r\nServer: x\r\n\r\nuntil close");
    int n = HttpPost(server.host(), "/", "x", buffer, kQuick);
    EXPECT_EQ(body(buffer, n), "until close");
    // ...or until len - 1 bytes have arrived.
    server.reply("HTTP/1.0 200 OK\r\n\r\n" + big);
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), 1023);
    EXPECT_EQ(buffer[1023], '\0');

    // A length equal to or beyond the buffer is taken as len - 1.
    server.reply("HTTP/1.0 200 OK\r\nContent-Length: 1024\r\n\r\n" + big);
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), 1023);
    server.reply("HTTP/1.0 200 OK\r\nContent-Length: 1023\r\n\r\n" + big);
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), 1023);
    server.reply("HTTP/1.0 200 OK\r\nContent-Length: 1022\r\n\r\n" + big);
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), 1022);
    // A length of 0 is an empty body, whatever follows it; a length that is
    // no plain number leaves the body's end unknown, so the reply is refused.
    server.reply("HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n5\n");
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), 0);
    server.reply("HTTP/1.0 200 OK\r\nContent-Length: -5\r\n\r\nall of it");
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), kPostBadStatus);

    // The get ignores Content-Length and stops at len - 1.
    QByteArray cookie;
    server.reply("HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\n" + big);
    EXPECT_EQ(HttpGet(server.host(), "/", buffer, cookie, {}, 80, kQuick), 1023);
}

TEST(HttpTransport, ShortHeaderLineEndsTheHeaderBlockEarly)
{
    ScriptedHttpServer server;
    std::vector<char> buffer(1024);
    // "X: 1" is too short a line: the header block ends there and the rest,
    // Content-Length included, is read as body.
    server.reply("HTTP/1.0 200 OK\r\nServer: x\r\nX:\r\nContent-Length: 2\r\n\r\nbody");
    int n = HttpPost(server.host(), "/", "x", buffer, kQuick);
    EXPECT_EQ(body(buffer, n), "Content-Length: 2\r\n\r\nbody");

    // A line of four characters is a header like any other.
    server.reply("HTTP/1.0 200 OK\r\nServer: x\r\nX: 1\r\nContent-Length: 2\r\n\r\nbody");
    n = HttpPost(server.host(), "/", "x", buffer, kQuick);
    EXPECT_EQ(body(buffer, n), "bo");

    QByteArray cookie;
    server.reply("HTTP/1.0 200 OK\r\nA\r\nSet-Cookie: a=1\r\n\r\nbody");
    n = HttpGet(server.host(), "/", buffer, cookie, {}, 80, kQuick);
    EXPECT_EQ(body(buffer, n), "Set-Cookie: a=1\r\n\r\nbody");
    EXPECT_TRUE(cookie.isEmpty()) << "the cookie header came after the block";
}

TEST(HttpTransport, ServerThatClosesEarly)
{
    ScriptedHttpServer server;
    std::vector<char> buffer(1024);
    QByteArray cookie;
    // Closed without a word: no status line, so the status check fails.
    server.closeAfterRequest();
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), kPostBadStatus);
    server.closeAfterRequest();
    EXPECT_EQ(HttpGet(server.host(), "/", buffer, cookie, {}, 80, kQuick), kGetBadStatus);
    // Closed in the middle of the body: a reply cut short of its declared
    // length is no reply, so "12" of "123\n" can never pass for a status.
    server.reply("HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\n12");
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), kPostCutOff);
    server.reply("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n");
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), kPostCutOff);
    server.reply("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n0,101,7001,1\n");
    EXPECT_EQ(HttpGet(server.host(), "/", buffer, cookie, {}, 80, kQuick), kGetCutOff);
    // Closed in the middle of the headers: there is no body to speak of.
    server.reply("HTTP/1.0 200 OK\r\nServer: x\r\nContent-Le");
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), kPostBadStatus);
    // Closed after the headers without a declared length: an empty body,
    // which callers treat as failure.
    server.reply("HTTP/1.0 200 OK\r\nServer: x\r\n\r\n");
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), 0);
}

TEST(HttpTransport, SilentServerEndsWithinTheReceiveTimeout)
{
    ScriptedHttpServer server;
    std::vector<char> buffer(1024);
    QByteArray cookie;
    const auto start = std::chrono::steady_clock::now();
    server.silent();
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), kPostTimedOut);
    server.silent();
    EXPECT_EQ(HttpGet(server.host(), "/", buffer, cookie, {}, 80, kQuick), kGetTimedOut);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(700));
    EXPECT_LT(took, std::chrono::seconds(5));
}

TEST(HttpTransport, ConnectionFailures)
{
    std::vector<char> buffer(1024);
    QByteArray cookie;
    const QByteArray refused = "127.0.0.1:" + QByteArray::number(closedPort());
    EXPECT_EQ(HttpPost(refused, "/", "x", buffer, kQuick), kPostNotConnected);
    EXPECT_EQ(HttpGet(refused, "/", buffer, cookie, {}, 80, kQuick), kGetNotConnected);

    EXPECT_EQ(HttpPost("", "/", "x", buffer, kQuick), kPostNoAddress);
    EXPECT_EQ(HttpGet("", "/", buffer, cookie, {}, 80, kQuick), kGetNoAddress);
    EXPECT_EQ(HttpPost("127.0.0.1:notaport", "/", "x", buffer, kQuick), kPostNoAddress);
    EXPECT_EQ(HttpPost("127.0.0.1:0", "/", "x", buffer, kQuick), kPostNoAddress);
}

TEST(HttpTransport, AHostWithControlBytesIsNoAddressAndSendsNothing)
{
    ScriptedHttpServer server;
    std::vector<char> buffer(1024);
    QByteArray cookie;
    const QByteArray port = ':' + QByteArray::number(server.port());
    for (const QByteArray &host : {QByteArray("127.0.0.1\0x", 11) + port, "127.0.0.1\r\nX-Injected: 1" + port,
                                   "127.0.0.1 x" + port, "127.0.0.1\x7f" + port}) {
        EXPECT_EQ(HttpPost(host, "/", "x", buffer, kQuick), kPostNoAddress) << host.toPercentEncoding().constData();
        EXPECT_EQ(HttpGet(host, "/", buffer, cookie, {}, 80, kQuick), kGetNoAddress);
    }
    EXPECT_EQ(server.connections(), 0);
    server.reply(ScriptedHttpServer::ok("fine"));
    EXPECT_EQ(HttpPost("127.0.0.1" + port, "/", "x", buffer, kQuick), 4);
}

TEST(HttpTransport, ConnectionThatIsNeverAcceptedTimesOut)
{
    // A listener whose queue is full drops further connection attempts, like
    // a host that does not answer.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    ::inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr *>(&a), sizeof a), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    socklen_t size = sizeof a;
    ::getsockname(listener, reinterpret_cast<sockaddr *>(&a), &size);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
        fillers.push_back(fd);
    }
    const QByteArray host = "127.0.0.1:" + QByteArray::number(ntohs(a.sin_port));
    std::vector<char> buffer(1024);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(HttpPost(host, "/", "x", buffer, kQuick), kPostNotConnected);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(350));
    for (int fd : fillers)
        ::close(fd);
    ::close(listener);
}

TEST(HttpTransport, StatusCodeIsReadWhereItStands)
{
    ScriptedHttpServer server;
    std::vector<char> buffer(1024);
    QByteArray cookie;
    const QByteArray head = "\r\nContent-Length: 2\r\n\r\n5\n";
    // Only the three digits after the version count: a 200 elsewhere in the
    // line, a 200 inside a longer number or a reply that is not HTTP/1.x is
    // no acceptance.
    for (const QByteArray &line :
         {QByteArray("HTTP/1.0 404 Not Found 200"), QByteArray("HTTP/1.0 2000 OK"), QByteArray("HTTP/1.0 500 200"),
          QByteArray("XHTTP/1.0 200 OK"), QByteArray("HTTP/2 200 OK"), QByteArray("HTTP/1.0 200OK"),
          QByteArray("HTTP/1.0  200 OK"), QByteArray("200 OK")}) {
        server.reply(line + head);
        EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), kPostBadStatus) << line.constData();
    }
    for (const QByteArray &line :
         {QByteArray("HTTP/1.0 200 OK"), QByteArray("HTTP/1.1 200"), QByteArray("HTTP/1.1 200 Anything at all")}) {
        server.reply(line + head);
        const int n = HttpPost(server.host(), "/", "x", buffer, kQuick);
        EXPECT_EQ(body(buffer, std::max(n, 0)), "5\n") << line.constData();
    }
    // The get takes any 2xx or 3xx, read at the same place.
    for (const QByteArray &line : {QByteArray("HTTP/1.0 404 Not Found (was 200)"), QByteArray("HTTP/1.0 500 30")}) {
        server.reply(line + "\r\n\r\n0,1,2,1\n");
        EXPECT_EQ(HttpGet(server.host(), "/", buffer, cookie, {}, 80, kQuick), kGetBadStatus) << line.constData();
    }
    server.reply("HTTP/1.1 204 No Content\r\n\r\nx");
    EXPECT_EQ(HttpGet(server.host(), "/", buffer, cookie, {}, 80, kQuick), 1);
}

TEST(HttpTransport, EncodingsTheClientDoesNotSpeakAreRefused)
{
    ScriptedHttpServer server;
    std::vector<char> buffer(1024);
    QByteArray cookie;
    // A chunked body whose content is "-1": read as text its chunk size "3"
    // would be taken for the status.
    const QByteArray chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\n-1\n\r\n0\r\n\r\n";
    server.reply(chunked);
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), kPostBadStatus);
    server.reply(chunked);
    EXPECT_EQ(HttpGet(server.host(), "/", buffer, cookie, {}, 80, kQuick), kGetBadStatus);
    server.reply("HTTP/1.0 200 OK\r\ntransfer-encoding:  Chunked \r\n\r\n3\r\n-1\n\r\n0\r\n\r\n");
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), kPostBadStatus);
    server.reply("HTTP/1.0 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: 2\r\n\r\n5\n");
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), kPostBadStatus);
    // Two lengths that disagree leave the body's end unknown.
    server.reply("HTTP/1.0 200 OK\r\nContent-Length: 2\r\nContent-Length: 3\r\n\r\n5\n7");
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, kQuick), kPostBadStatus);
    // What the client does speak passes: identity, and a repeated equal length.
    server.reply("HTTP/1.0 200 OK\r\nTransfer-Encoding: identity\r\ncontent-length: 2\r\n"
                 "Content-Length: 2\r\n\r\n5\nmore");
    const int n = HttpPost(server.host(), "/", "x", buffer, kQuick);
    EXPECT_EQ(body(buffer, std::max(n, 0)), "5\n");
}

TEST(HttpTransport, OneDeadlineForTheWholeRequest)
{
    // Each byte comes well within the receive wait, so only the request's
    // deadline can end the wait for a reply that takes 20 s to trickle in.
    ScriptedHttpServer server;
    std::vector<char> buffer(1024);
    QByteArray cookie;
    HttpTimeouts t = kQuick;
    t.requestMs = 600;
    const QByteArray reply = ScriptedHttpServer::ok("1\n" + QByteArray(200, 'x'));
    const auto start = std::chrono::steady_clock::now();
    server.trickle(reply, 100);
    EXPECT_EQ(HttpPost(server.host(), "/", "x", buffer, t), kPostTimedOut);
    server.trickle(reply, 100);
    EXPECT_EQ(HttpGet(server.host(), "/", buffer, cookie, {}, 80, t), kGetTimedOut);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(1100));
    EXPECT_LT(took, std::chrono::milliseconds(3000));
}
