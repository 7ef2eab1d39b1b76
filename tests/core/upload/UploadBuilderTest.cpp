#include "upload/UploadBuilder.h"
#include "net/BaseData.h"
#include "net/LoginReply.h"
#include "net/ServerSession.h"
#include "storage/CheckRecord.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

QByteArray g(const char16_t *text)
{
    return Gbk::fromUnicode(QString::fromUtf16(text));
}

template <std::size_t N> void set(char (&field)[N], const char16_t *text)
{
    Gbk::setField(field, N, g(text));
}

template <std::size_t N> void setBytes(char (&field)[N], const QByteArray &bytes)
{
    Gbk::setField(field, N, bytes);
}

BaseData kinds()
{
    BaseData data;
    data.parse("xN\nEMB\nTK\t" + g(u"特快专递") + "\nJJ\t" + g(u"经济快递") +
               "\n\nEME\n\nGPB\n0,4\tBJ\tBEIJING\t100000\t" + g(u"北京") + "\t" + g(u"中国") + "\n\nGPE\n\nEPB\nTK\n" +
               g(u"北京") + "\t\n\nEPE\n\a");
    return data;
}

// Every field has its own value, so that one written in the wrong place shows.
ShipmentCopy shipment()
{
    ShipmentCopy s;
    PreInputRecord &r = s.record;
    r.iid = 17;
    r.ddate = {2009, 3, 5};
    r.nitemtype = 1;
    r.nlanguage = 0;
    r.npayway = 2;
    r.nquantity = 4;
    r.iprice = 1250;
    r.ideclare = 5000;
    r.iinsure = 3000;
    r.npieces = 3;
    r.fweight = 1.25;
    r.ffee = 26.5;
    r.fcollectsettle = 20.25;
    r.fweighed = 1.3;
    r.fcod = 99.5;
    r.fcodsettle = 98.75;
    set(r.cemskind, u"特快专递");
    set(r.cfrom, u"深圳");
    set(r.cdes, u"北京");
    set(r.cnum, u"DE9010700101");
    set(r.csender, u"O'Brien");
    set(r.creceiver, u"李四");
    set(r.cphone, u"010-1");
    set(r.creceivercorp, u"C<o>rp&</DATA>");
    set(r.creceiverzip, u"100020");
    set(r.creceiveraddr, u"line1\nline2");
    set(r.creceivercountry, u"中国");
    set(r.creceivercity, u"北京市");
    set(r.creceiverprov, u"北京");
    set(r.cremark, u"bel\a");
    set(r.csize, u"30*20*10");
    set(r.cgoods, u"样品");
    set(r.cpack, u"纸箱");
    set(r.ccurrency, u"C'Y");
    set(r.csendercorp, u"演示");
    set(r.csenderaddr, u"南山");
    set(r.csenderphone, u"0755");
    set(r.csenderzip, u"518000");
    set(r.csendercountry, u"中国");
    set(r.csenderprov, u"广东");
    set(r.csendercity, u"深圳市");
    set(r.cmark, u"A1");
    set(r.cpaydir, u"CC");
    set(r.cgoodsorigin, u"CN");
    set(r.csendersms, u"138");
    set(r.cdepart, u"销售部");
    set(r.csendermail, u"a@x");
    set(r.creceivermail, u"b@x");
    set(r.creceiversms, u"139");
    WeightRecord piece{};
    piece.iparent = 17;
    piece.nlength = 30;
    piece.nwidth = 20;
    piece.nheight = 10;
    piece.nweight = 1250;
    piece.nvolpercent = 100;
    piece.nquantity = 2;
    piece.iprice = 500;
    set(piece.cname, u"箱'一");
    s.pieces.push_back(piece);
    GoodsRecord a{};
    a.iparent = 17;
    set(a.cname, u"A's");
    a.nquantity = 2;
    a.fprice = 10;
    GoodsRecord b = a;
    set(b.cname, u"B");
    b.nquantity = 3;
    b.fprice = 5;
    s.goods = {a, b};
    return s;
}

struct Session {
    explicit Session(const QByteArray &login)
    {
        session.configure("127.0.0.1:8080", QStringLiteral("S01"));
        session.setLocaleId(2052);
        session.applyLogin(LoginReply::parse(login), QStringLiteral("alice"), QStringLiteral("pw"));
    }
    ServerSession session;
};

QByteArray head(int op, int id)
{
    return "<WER>1</WER><WCID>S01</WCID><AC>alice</AC><OP>" + QByteArray::number(op) + "</OP><ID>" +
           QByteArray::number(id) + "</ID><NUMBER>1</NUMBER><LCID>2052</LCID><RAND>7001</RAND><DATA>";
}

// The arguments from the client id to the last text before the batches.
QByteArray fields()
{
    return "42,1,0,'2009.03.05',2,'*A\aB\aC\aD\a','TK','" + g(u"深圳") + "','" + g(u"北京") +
           "','DE9010700101',1.250,26.50,'O''Brien','" + g(u"李四") +
           "','010-1','C<o>rp&</DATA>','100020','line1\nline2','" + g(u"中国") + "','" + g(u"北京市") + "','" +
           g(u"北京") + "','bel\a','30*20*10',1.300,'" + g(u"样品") + "',4,1250,'" + g(u"纸箱") +
           "',5000,3000,'C''Y','" + g(u"演示") + "','" + g(u"南山") + "','0755','518000','" + g(u"中国") + "','" +
           g(u"广东") + "','" + g(u"深圳市") + "','A1','CC','CN',3,'',26.50,20.25,'138',99.50,98.75,'" + g(u"销售部") +
           "','a@x','b@x','139'";
}

} // namespace

TEST(UploadBuilder, ShipmentForShipmentRecordsByteForByte)
{
    Session s("0,42,7001,1");
    const QByteArray expected =
        head(0, 17) + "{?=CALL tarvo.dbo.cp_client_rec_add_kv(" + fields() +
        ",'INSERT INTO tarvo.dbo.client_rec_weight_detail select #1234567#,30,20,10,1250,100,'''',0,0,0,0,''" +
        g(u"箱''''一") +
        "'',2,500,''''','INSERT INTO tarvo.dbo.client_rec_goods select 0,#1234567#,''A''''s'','''',2,10.00  union "
        "select 1,#1234567#,''B'','''',3,5.00 ')}\a</DATA>\n";
    EXPECT_EQ(UploadBuilder::BuildRecordUpload(s.session, kinds(), shipment()), expected);
}

TEST(UploadBuilder, PreEntryTargetHasNoPieceBatch)
{
    Session s("0,42,7001,2");
    const QByteArray expected = head(0, 17) + "{?=CALL tarvo.dbo.cp_rec_pre_input_add_kv(" + fields() +
                                ",'INSERT INTO tarvo.dbo.rec_pre_input_goods select 0,#1234567#,''A''''s'','''',2,"
                                "10.00  union select 1,#1234567#,''B'','''',3,5.00 ')}\a</DATA>\n";
    EXPECT_EQ(UploadBuilder::BuildRecordUpload(s.session, kinds(), shipment()), expected);

    // Without lines both batches are empty texts.
    ShipmentCopy bare = shipment();
    bare.goods.clear();
    bare.pieces.clear();
    EXPECT_TRUE(UploadBuilder::BuildRecordUpload(s.session, kinds(), bare).endsWith(",'139','')}\a</DATA>\n"));
    Session one("0,42,7001,1");
    EXPECT_TRUE(UploadBuilder::BuildRecordUpload(one.session, kinds(), bare).endsWith(",'139','','')}\a</DATA>\n"));
}

TEST(UploadBuilder, LineNumbersAndCollectAmounts)
{
    Session s("0,42,7001,1");
    ShipmentCopy three = shipment();
    three.goods.push_back(three.goods.back());
    const QByteArray batch = UploadBuilder::goodsBatch(three.goods, 1);
    EXPECT_TRUE(batch.startsWith("INSERT INTO tarvo.dbo.client_rec_goods select 0,#1234567#,"));
    EXPECT_TRUE(batch.contains(" union select 1,#1234567#,''B''"));
    EXPECT_TRUE(batch.endsWith(" union select 2,#1234567#,''B'','''',3,5.00 "));
    EXPECT_EQ(batch.count("union select"), 2);

    // Paid at once (1) or monthly (0): the two collect amounts are 0 and 0.
    for (int payWay : {0, 1}) {
        ShipmentCopy paid = shipment();
        paid.record.npayway = static_cast<std::uint8_t>(payWay);
        const QByteArray call = UploadBuilder::recordCall(s.session, "TK", paid);
        EXPECT_TRUE(call.contains(",3,'',0,0,'138',99.50,98.75,")) << payWay;
        EXPECT_FALSE(call.contains("20.25"));
    }
}

TEST(UploadBuilder, RecordsThatCannotBeSent)
{
    Session s("0,42,7001,1");
    const BaseData data = kinds();
    ShipmentCopy locked = shipment();
    locked.record.nlocked = 1;
    EXPECT_TRUE(UploadBuilder::BuildRecordUpload(s.session, data, locked).isEmpty());
    ShipmentCopy nowhere = shipment();
    set(nowhere.record.cdes, u"");
    EXPECT_TRUE(UploadBuilder::BuildRecordUpload(s.session, data, nowhere).isEmpty());
    ShipmentCopy unknown = shipment();
    set(unknown.record.cemskind, u"TK");
    EXPECT_TRUE(UploadBuilder::BuildRecordUpload(s.session, data, unknown).isEmpty()) << "kinds match by name";
    ShipmentCopy economy = shipment();
    set(economy.record.cemskind, u"经济快递");
    EXPECT_TRUE(UploadBuilder::BuildRecordUpload(s.session, data, economy).contains(",'*A\aB\aC\aD\a','JJ','"));
}

TEST(UploadBuilder, ScansOfTheThreeVersions)
{
    Session s("1,0,7001,1\nS'X01\nCAN02\nP\nI\nPE\nIE\n");
    CheckRecord scan{};
    scan.iid = 9;
    scan.nversion = 2;
    scan.nkind = 3;
    scan.nflight = 51;
    scan.nstate = 0;
    set(scan.cnum, u"D1'01");
    set(scan.cnext, u"SHA");
    set(scan.cdate, u"2009.05.06 1'4:30");
    set(scan.csigntime, u"2009.05.06 14:30:00'");
    set(scan.cplace, u"深圳");
    set(scan.cinfo, u"快件'到");
    set(scan.cplaceen, u"Shen<zhen>");
    set(scan.cinfoen, u"Arrived\n\a");
    set(scan.csigner, u"张'三");
    const QByteArray front = head(4, 9) + "{?=CALL tarvo.dbo.cp_check_detail_";
    const QByteArray common =
        "_kv(?,?,?,?,?,?,?,?,?,?,?,?,?,?,0,'D1''01','S''X01','SHA',3,'2009.05.06 14:30:00''','2009.05.06 1''4:30',";
    const QByteArray chinese = "'" + g(u"深圳") + "','" + g(u"快件''到") + "',";
    const QByteArray english = QByteArray("'Shen<zhen>','Arrived\n\a',");
    const QByteArray back = "'*A\aB\aC\aD\a','" + g(u"张''三") + "',51,0)}\a</DATA>\n";
    EXPECT_EQ(UploadBuilder::BuildScanUpload(s.session, scan), front + "scan_all" + common + chinese + english + back);
    scan.nversion = 0;
    EXPECT_EQ(UploadBuilder::BuildScanUpload(s.session, scan), front + "scan_add" + common + chinese + back);
    scan.nversion = 1;
    EXPECT_EQ(UploadBuilder::BuildScanUpload(s.session, scan), front + "en_scan_add" + common + english + back);
    scan.nversion = 3;
    EXPECT_TRUE(UploadBuilder::BuildScanUpload(s.session, scan).isEmpty());
}
