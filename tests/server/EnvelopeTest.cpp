#include "DemoServer.h"
#include "ServerData.h"

#include <random>

namespace {

class Envelope : public DemoServer {
protected:
    EnvelopeParts balance(const QByteArray &session) const
    {
        EnvelopeParts e;
        e.session = session;
        return e;
    }
};

TEST_F(Envelope, BalanceOfTheDemoCustomer)
{
    const EnvelopeParts e = balance(logIn("demo", "demo"));
    EXPECT_EQ(e.bytes(), "<WER>1</WER><WCID>DEMO</WCID><AC>demo</AC><OP>5</OP><ID>0</ID><NUMBER>1</NUMBER>"
                         "<LCID>2052</LCID><RAND>" +
                             e.session + "</RAND><DATA>\a</DATA>\n");
    // Credit, balance, unused, unsettled shipments (amount, count), pre-entries waiting (amount, count).
    EXPECT_EQ(trans(e), "1\n5000.00\n1200.50\n0\n68.50\n2\n18.00\n1\n");

    ASSERT_EQ(runSql(server.dataFile(), "INSERT INTO client_rec (icid, cnum, famount) VALUES (101, 'B1', 10.25);"
                                        "INSERT INTO client_rec (icid, cnum, famount, ifid) VALUES (101, 'B2', 99, 1);"
                                        "INSERT INTO client_rec (icid, cnum, famount) VALUES (102, 'B3', 99);"
                                        "UPDATE client SET fbalance = -20.005 WHERE icid = 101"),
              "");
    EXPECT_EQ(trans(e), "1\n5000.00\n-20.00\n0\n78.75\n3\n18.00\n1\n");
}

TEST_F(Envelope, BalanceIsForCustomersOnly)
{
    const QByteArray checkpoint = logIn("check", "check");
    EnvelopeParts e = balance(checkpoint);
    e.account = "check";
    EXPECT_EQ(trans(e), "-18\n");

    ASSERT_EQ(runSql(server.dataFile(), "INSERT INTO client_account (cwcid, cac, cpassword, icid) "
                                        "VALUES ('DEMO', 'orphan', 'x', 999)"),
              "");
    e = balance(logIn("orphan", "x"));
    e.account = "orphan";
    EXPECT_EQ(trans(e), "0\n");
}

TEST_F(Envelope, SessionChecks)
{
    // Never logged in since the data file was made.
    EnvelopeParts e = balance("12345");
    EXPECT_EQ(trans(e), "-13\n");

    const QByteArray demo = logIn("demo", "demo");
    const QByteArray other = logIn("demopre", "demo");
    EXPECT_EQ(trans(balance("12345")), "-15\n");
    EXPECT_EQ(trans(balance("0")), "-15\n");
    EXPECT_EQ(trans(balance(other)), "-15\n");
    // A second login keeps the first session: two counters may share an account.
    const QByteArray again = logIn("demo", "demo");
    EXPECT_EQ(trans(balance(demo)).left(2), "1\n");
    EXPECT_EQ(trans(balance(again)).left(2), "1\n");

    e = balance(demo);
    e.site = "NOSITE";
    EXPECT_EQ(trans(e), "-11\n");
    e.site = "\xff\xff";
    EXPECT_EQ(trans(e), "-11\n");
    e = balance(demo);
    e.account = "nobody";
    EXPECT_EQ(trans(e), "-12\n");
    e.account = "\x81";
    EXPECT_EQ(trans(e), "-12\n");

    // Rights withdrawn after the login end what the session may do.
    ASSERT_EQ(runSql(server.dataFile(), "UPDATE client_account SET nright = 0 WHERE cac = 'demo'"), "");
    EXPECT_EQ(trans(balance(demo)), "-18\n");
}

TEST_F(Envelope, SessionsOutliveARestartOnTheSameDataFile)
{
    const QByteArray session = logIn("demo", "demo");
    const QString file = server.dataFile();
    EXPECT_EQ(server.stop(), 0);
    TarvoServer::Options o;
    o.dataFile = file;
    ASSERT_TRUE(server.start(o));
    RawHttp again(server.address(), server.port());
    EXPECT_EQ(again.post(balance(session).bytes()).body.left(2), "1\n");
}

TEST_F(Envelope, EachMalformedElementHasItsStatus)
{
    const QByteArray session = logIn("demo", "demo");
    const EnvelopeParts good = balance(session);
    const QByteArray bytes = good.bytes();
    const auto without = [&](const QByteArray &part) { return QByteArray(bytes).replace(part, ""); };
    const auto post = [&](const QByteArray &body) { return http->post(body).body; };

    EXPECT_EQ(post(""), "-100\n");
    EXPECT_EQ(post(without("<WER>1</WER>")), "-100\n");
    EXPECT_EQ(post(without("<WCID>DEMO</WCID>")), "-101\n");
    EXPECT_EQ(post(without("<AC>demo</AC>")), "-102\n");
    EXPECT_EQ(post(without("<OP>5</OP>")), "-103\n");
    EXPECT_EQ(post(without("<ID>0</ID>")), "-104\n");
    EXPECT_EQ(post(without("<NUMBER>1</NUMBER>")), "-105\n");
    EXPECT_EQ(post(without("<LCID>2052</LCID>")), "-106\n");
    EXPECT_EQ(post(without("<RAND>" + session + "</RAND>")), "-107\n");
    EXPECT_EQ(post(without("<DATA>")), "-108\n");
    EXPECT_EQ(post(bytes.chopped(1)), "-108\n");
    EXPECT_EQ(post(without("\a")), "-108\n");
    EXPECT_EQ(post(bytes + "\r\n"), "-108\n");
    EXPECT_EQ(post(" " + bytes), "-100\n");

    const auto with = [&](QByteArray EnvelopeParts::*field, const QByteArray &value) {
        EnvelopeParts e = good;
        e.*field = value;
        return trans(e);
    };
    EXPECT_EQ(with(&EnvelopeParts::version, "x"), "-100\n");
    EXPECT_EQ(with(&EnvelopeParts::version, "2"), "-10\n");
    EXPECT_EQ(with(&EnvelopeParts::op, "five"), "-103\n");
    EXPECT_EQ(with(&EnvelopeParts::op, ""), "-103\n");
    EXPECT_EQ(with(&EnvelopeParts::id, "1x"), "-104\n");
    EXPECT_EQ(with(&EnvelopeParts::id, "99999999999"), "-104\n");
    EXPECT_EQ(with(&EnvelopeParts::number, ""), "-105\n");
    EXPECT_EQ(with(&EnvelopeParts::locale, "-1"), "-106\n");
    EXPECT_EQ(with(&EnvelopeParts::locale, "4294967296"), "-106\n");
    EXPECT_EQ(with(&EnvelopeParts::session, "abc"), "-107\n");
    EXPECT_EQ(with(&EnvelopeParts::session, "+1"), "-107\n");
}

TEST_F(Envelope, OperationsCheckTheirOwnArguments)
{
    const EnvelopeParts good = balance(logIn("demo", "demo"));
    EnvelopeParts e = good;
    e.op = "99";
    EXPECT_EQ(trans(e), "-103\n");
    e.op = "11"; // past the operations the counter knows
    EXPECT_EQ(trans(e), "-103\n");
    e = good;
    e.id = "3";
    EXPECT_EQ(trans(e), "-104\n");
    e = good;
    e.number = "0";
    EXPECT_EQ(trans(e), "-105\n");
    e = good;
    e.payload = "x";
    EXPECT_EQ(trans(e), "-108\n");
    e = good;
    e.trailingBel = true;
    EXPECT_EQ(trans(e), "-108\n");
    // Any locale is taken.
    e = good;
    e.locale = "1033";
    EXPECT_EQ(trans(e).left(2), "1\n");
}

TEST_F(Envelope, AccountNamesAreNotEscaped)
{
    ASSERT_EQ(runSql(server.dataFile(), "INSERT INTO client_account (cwcid, cac, cpassword, icid) "
                                        "VALUES ('DEMO', 'a<b>&</AC>c', 'x', 101)"),
              "");
    EnvelopeParts e = balance(logIn("a<b>&</AC>c", "x"));
    e.account = "a<b>&</AC>c";
    EXPECT_EQ(trans(e), "1\n5000.00\n1200.50\n0\n68.50\n2\n18.00\n1\n");
}

TEST_F(Envelope, WrongLengthsAndGarbageLeaveTheServerServing)
{
    const EnvelopeParts good = balance(logIn("demo", "demo"));
    const QByteArray bytes = good.bytes();

    // A Content-Length shorter than the envelope cuts it.
    QByteArray request = http->postRequest("/cgi-bin/VEdiz.dll?KVTrans", bytes);
    request.replace("Content-Length: " + QByteArray::number(bytes.size()),
                    "Content-Length: " + QByteArray::number(bytes.size() - 3));
    EXPECT_EQ(http->exchange(request).body, "-108\n");

    // A client that promises more than it sends and gives up gets no reply, and harms nothing.
    request = http->postRequest("/cgi-bin/VEdiz.dll?KVTrans", bytes);
    request.replace("Content-Length: " + QByteArray::number(bytes.size()), "Content-Length: 5000");
    EXPECT_FALSE(http->exchange(request, 5000, true).received);

    // More than any client sends is refused at the door.
    EXPECT_EQ(http->exchange(http->postRequest("/cgi-bin/VEdiz.dll?KVTrans", QByteArray(2 << 20, 'x'))).status(), 413);

    // Unknown commands and paths, and a transaction by GET, are not found.
    EXPECT_EQ(http->exchange(http->postRequest("/cgi-bin/VEdiz.dll?KVNothing", bytes)).status(), 404);
    EXPECT_EQ(http->exchange(http->postRequest("/cgi-bin/Other.dll?KVTrans", bytes)).status(), 404);
    EXPECT_EQ(http->exchange("GET /cgi-bin/VEdiz.dll?KVTrans HTTP/1.0\r\n\r\n").status(), 404);
    EXPECT_EQ(http->exchange("GET /cgi-bin/VEdiz.dll?KVGetSysModel&w=DEMO HTTP/1.0\r\n\r\n").status(), 404);
    EXPECT_EQ(http->exchange("BREW /pot HTTP/1.0\r\n\r\n").status(), 400);
    EXPECT_EQ(http->exchange(http->loginRequest("DEMO", QByteArray(20000, 'a'), "0", "0")).status(), 414);

    // Bytes flipped anywhere in the envelope: always a status line, never a crash.
    std::mt19937 random(20260107);
    for (int i = 0; i < 150; ++i) {
        QByteArray broken = bytes;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int f = 0; f < flips; ++f)
            broken[static_cast<qsizetype>(random() % broken.size())] = static_cast<char>(random() % 256);
        const RawReply r = http->post(broken);
        ASSERT_TRUE(r.received) << broken.toHex().constData();
        ASSERT_EQ(r.status(), 200);
        const QByteArray first = r.body.split('\n').value(0);
        bool number = false;
        first.toInt(&number);
        EXPECT_TRUE(number) << r.body.constData();
    }
    EXPECT_TRUE(server.running());
    EXPECT_EQ(trans(good), "1\n5000.00\n1200.50\n0\n68.50\n2\n18.00\n1\n");
}

} // namespace
