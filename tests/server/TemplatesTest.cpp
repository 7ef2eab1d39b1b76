#include "DemoServer.h"
#include "ServerData.h"
#include "app/ShippedData.h"

#include <QFile>

namespace {

class Templates : public DemoServer {
protected:
    QByteArray model(const QByteArray &body) { return http->exchange(http->postRequest(kPath, body)).body; }

    static QByteArray shipped(const QString &name)
    {
        QFile f(quarvel::ShippedData::Folder() + u'/' + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static constexpr const char *kPath = "/cgi-bin/VEdiz.dll?KVGetSysModel";
};

class WaybillRecords : public DemoServer {
protected:
    QByteArray fetch(const QByteArray &session, int id, const QByteArray &account = "demo",
                     const QByteArray &number = "1")
    {
        return trans(request(account, session, "7", QByteArray::number(id), number,
                             " FROM tarvo.dbo.client_rec WHERE irid=" + QByteArray::number(id)));
    }
};

} // namespace

TEST_F(Templates, TheDemoSiteListsTheShippedTemplatesAndOneMoreWaybill)
{
    EXPECT_EQ(model("w=DEMO"), "+4\n0" + gbk("默认形式发票") + "\n1" + gbk("简易面单") + "\n1" + gbk("默认面单") +
                                   "\n2" + gbk("默认标签") + "\n");
    EXPECT_EQ(model("w=NOWHERE"), "-1\n");
    EXPECT_EQ(model("x=DEMO"), "-1\n");
    EXPECT_EQ(model("w=" + QByteArray("\x81", 1)), "-1\n");
}

TEST_F(Templates, EachTemplateComesWithItsTwoFilesAndTheirLengths)
{
    const QByteArray txt = shipped(QStringLiteral("DATA_MODEL/TAB_默认面单.txt"));
    const QByteArray xls = shipped(QStringLiteral("DATA_MODEL/TAB_默认面单.xls"));
    ASSERT_GT(txt.size(), 1);
    ASSERT_GT(xls.size(), 1000);
    EXPECT_EQ(model("w=DEMO&cmodel=" + gbk("默认面单")),
              "+0\n" + QByteArray::number(txt.size() - 1) + "\n" + QByteArray::number(xls.size()) + "\n" + txt + xls)
        << "the first number is one less than the definition's length, as the client counts";
    EXPECT_TRUE(model("w=DEMO&cmodel=" + gbk("简易面单")).startsWith("+0\n"));
    EXPECT_EQ(model("w=DEMO&cmodel=" + gbk("没有")), "-2\n");
    EXPECT_EQ(model("w=DEMO&cmodel=../../etc/passwd"), "-2\n");
    EXPECT_EQ(model("w=DEMO&cmodel=" + QByteArray("\xff\xff", 2)), "-2\n");
}

TEST_F(WaybillRecords, ACustomerGetsItsOwnShipmentAsTaggedFields)
{
    const QByteArray session = logIn("demo", "demo");
    const QByteArray reply = fetch(session, 1);
    ASSERT_TRUE(reply.startsWith("1\n\a<IID>")) << reply.left(60).constData();
    EXPECT_TRUE(reply.contains("\a<NUM>D1010000001</NUM>\a"));
    EXPECT_TRUE(reply.contains("\a<RNAME>" + gbk("李四") + "</RNAME>\a"));
    EXPECT_TRUE(reply.contains("\a<WEIGHT>1.200</WEIGHT>\a"));
    EXPECT_TRUE(reply.contains("\a<ITEMTYPE>1</ITEMTYPE>\a"));
    EXPECT_TRUE(reply.contains("\a<RPHONE>010-66668888</RPHONE>\a"));
    EXPECT_TRUE(reply.endsWith("</SIGN>\a"));
    const QByteArray date = reply.mid(reply.indexOf("<DATE>") + 6, 10);
    EXPECT_EQ(date.size(), 10);
    EXPECT_EQ(reply.count("\a<"), 68);
}

TEST_F(WaybillRecords, AnotherCustomersShipmentIsNeverAnswered)
{
    ASSERT_EQ(runSql(server.dataFile(),
                     "INSERT INTO client (icid, cwcid, cname) VALUES (202, 'DEMO', '别家');"
                     "INSERT INTO client_rec (irid, icid, cnum, creceiver) VALUES (900, 202, 'X900', '外人');"
                     "INSERT INTO client_rec (irid, icid, cnum, creceiver, cgoods) "
                     "VALUES (901, 101, 'D901', 'bel', 'a' || char(7) || 'b')"),
              "");
    const QByteArray session = logIn("demo", "demo");
    EXPECT_EQ(fetch(session, 900), "0\n");
    EXPECT_EQ(fetch(session, 12345), "0\n");
    EXPECT_TRUE(fetch(session, 901).contains("\a<GOODS>ab</GOODS>\a")) << "a BEL cannot stand inside a field";
}

TEST_F(WaybillRecords, TheRequestMustBeExactlyWhatTheClientSends)
{
    const QByteArray session = logIn("demo", "demo");
    EXPECT_EQ(fetch(session, 1, "demo", "2"), "-105\n");
    EXPECT_EQ(trans(request("demo", session, "7", "1", "1", " FROM tarvo.dbo.client_rec WHERE irid=2")), "-108\n");
    EXPECT_EQ(trans(request("demo", session, "7", "1", "1", " FROM tarvo.dbo.client_rec WHERE irid=1 OR 1=1")),
              "-108\n");
    EXPECT_EQ(trans(request("demo", session, "7", "0", "1", " FROM tarvo.dbo.client_rec WHERE irid=0")), "-104\n");
    EXPECT_EQ(fetch(logIn("check", "check"), 1, "check"), "-18\n") << "checkpoints print no customer's waybill";
}
