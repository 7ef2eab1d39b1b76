#include "net/HostAddress.h"
#include "net/HttpCookies.h"
#include "net/HttpTransport.h"

#include <gtest/gtest.h>

using namespace quarvel;

TEST(HttpText, IsIpAddress)
{
    EXPECT_TRUE(IsIpAddress("10.0.0.1"));
    EXPECT_TRUE(IsIpAddress("192.168.100.200"));
    EXPECT_TRUE(IsIpAddress("255.255.255.255"));
    EXPECT_FALSE(IsIpAddress("10.0.0"));
    EXPECT_FALSE(IsIpAddress("256.1.1.1"));
    EXPECT_FALSE(IsIpAddress("1.2.3.4.5"));
    EXPECT_FALSE(IsIpAddress("10.0.0.x"));
    EXPECT_FALSE(IsIpAddress("1.1.1.256"));
    EXPECT_FALSE(IsIpAddress("1.1..11"));
    EXPECT_FALSE(IsIpAddress("0001.1.1.300"));
    EXPECT_FALSE(IsIpAddress("1.1.1.1 "));
    EXPECT_FALSE(IsIpAddress("1000.100.1.1"));
    EXPECT_FALSE(IsIpAddress(".10.0.11")) << "an address starts with a digit";
    EXPECT_FALSE(IsIpAddress("1.2.3.4:80"));
}

TEST(HttpText, RedirectAddressIsTheReplyUpToItsNul)
{
    EXPECT_EQ(RedirectAddress("10.0.0.1"), "10.0.0.1");
    EXPECT_EQ(RedirectAddress(QByteArray("10.0.0.1\0\r\nX-Injected: 1", 23)), "10.0.0.1");
    EXPECT_EQ(RedirectAddress(QByteArray("10.0.0.1\0", 9)), "10.0.0.1");
    EXPECT_TRUE(RedirectAddress("10.0.0.1\r\n").isEmpty());
    EXPECT_TRUE(RedirectAddress("+1\n1OK\n").isEmpty());
    EXPECT_TRUE(RedirectAddress(QByteArray("\0"
                                           "10.0.0.1",
                                           9))
                    .isEmpty());
}

TEST(HttpText, HostWithAndWithoutPort)
{
    HostAddress h = HostAddress::parse("tarvo.example");
    EXPECT_EQ(h.name, "tarvo.example");
    EXPECT_EQ(h.port, 80);
    h = HostAddress::parse("127.0.0.1:8080");
    EXPECT_EQ(h.name, "127.0.0.1");
    EXPECT_EQ(h.port, 8080);
    EXPECT_EQ(HostAddress::parse("h", 81).port, 81);
    EXPECT_EQ(HostAddress::parse("h:x").port, 0) << "a bad port reaches no port at all";
    EXPECT_EQ(HostAddress::parse("h:70000").port, 0);
    EXPECT_EQ(HostAddress::portSuffix("h:8080"), ":8080");
    EXPECT_EQ(HostAddress::portSuffix("h"), "");
    EXPECT_EQ(HostAddress::portSuffix("h:x"), "");
}

TEST(HttpText, CookiesFromSetCookieHeaders)
{
    EXPECT_FALSE(HttpCookies::fromHeaders("Server: x\r\nContent-Length: 3\r\n\r\n").has_value());
    EXPECT_EQ(HttpCookies::fromHeaders("Set-Cookie: SID=abc; path=/\r\n"), "SID=abc;");
    EXPECT_EQ(HttpCookies::fromHeaders("Set-Cookie: a=1\r\nSet-Cookie: b=2 ; Expires=Thu, 01 Jan 2026\r\n"),
              "a=1;b=2 ;")
        << "only the blanks right before the attribute go";
    EXPECT_EQ(HttpCookies::fromHeaders("set-cookie:x=1; HttpOnly; Domain=.a.b; Path=/\r\n"), "x=1; HttpOnly;");
    EXPECT_EQ(HttpCookies::fromHeaders("SET-COOKIE: y=2; secure\n"), "y=2;") << "no attribute: to the first ';'";
    EXPECT_EQ(HttpCookies::fromHeaders("Set-Cookie: z=3 path=/\r\n"), "z=3;");
    EXPECT_EQ(HttpCookies::fromHeaders("Set-Cookie:\r\n"), ";");
    EXPECT_FALSE(HttpCookies::fromHeaders("X-Note: Set-Cookie: a=1\r\n").has_value()) << "only header lines count";
}
