#include "query/ShipmentInfoPage.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

QByteArray tag(const char *name, const QString &value)
{
    return QByteArray("\a<") + name + '>' + Gbk::fromUnicode(value) + "</" + name + ">\a";
}

QByteArray number(const char *name, const QByteArray &value)
{
    return QByteArray("\a<") + name + '>' + value + "</" + name + ">\a";
}

// A delivered, settled shipment as the server describes it, tags in no
// particular order.
QByteArray delivered()
{
    return number("STATE", "3") + tag("NUM", QStringLiteral("D1010001001")) + number("RID", "1001") +
           tag("SYSDATE", QStringLiteral("2026-03-01 09:00:00")) +
           tag("SENDDATE", QStringLiteral("2026-03-01 18:00:00")) +
           tag("ADATE", QStringLiteral("2026-03-03 10:00:00")) + tag("SIGN", QStringLiteral("本人")) +
           number("FID", "1002") + number("AMOUNT", "35.5") + number("ABASE", "30") + number("AADDON", "0.0005") +
           number("ASAFE", "5.5") + tag("GOODS", QStringLiteral("样品")) + number("QUANTITY", "2") +
           number("GPRICE", "1250") + tag("RNAME", QStringLiteral("李四")) +
           tag("REMAIL", QStringLiteral("li@example.com")) + tag("RADDR", QStringLiteral("北京市1号")) +
           tag("SNAME", QStringLiteral("张三")) + tag("SPHONE", QStringLiteral("0755"));
}

const QByteArray kHost = "127.0.0.1:8080";

} // namespace

TEST(ShipmentInfoPage, TitleAndBodyOfADeliveredShipment)
{
    const ShipmentInfo info = ShipmentInfo::Parse(delivered());
    EXPECT_EQ(ShipmentInfoPage::Title(info), u"№ D1010001001 [ID:1001] - 状态:送达");
    const QString expected = QStringLiteral(
        "<table width=100%>"
        "<tr><td width=60 class='nm'>运单号:</td><td><font style='font-family: Arial Black;font-size:16px'>"
        "<a target='_blank' href='http://127.0.0.1:8080/cgi-bin/VEdiz.dll?TarvoTrack&amp;cno=D1010001001'>"
        "D1010001001</a></font></td></tr>"
        "<tr><td class='nm'>录单时间:</td><td>2026-03-01 09:00:00</td></tr>"
        "<tr><td class='nm'>发货时间:</td><td>2026-03-01 18:00:00</td></tr>"
        "<tr><td class='nm'>送达日期:</td><td>2026-03-03 10:00:00</td></tr>"
        "<tr><td class='nm'>签收人:</td><td>本人</td></tr>"
        "<tr><td class='nm'></td><td class='ftm'><b>费用结算:已核收. </b></td></tr>"
        "<tr><td class='nm'>费用总计:</td><td>     35.50</td></tr>"
        "<tr><td class='nm'>基础运费:</td><td>     30.00</td></tr>"
        "<tr><td class='nm'>保险费:</td><td>      5.50</td></tr>"
        "<tr><td class='nm'></td><td class='ftm'><b>物品相关信息</b></td></tr>"
        "<tr><td class='nm'>品名:</td><td>样品</td></tr>"
        "<tr><td class='nm'>数量:</td><td>2</td></tr>"
        "<tr><td class='nm'>价格:</td><td>12.50</td></tr>"
        "<tr><td class='nm'></td><td class='ftm'><b>收件人相关信息</b></td></tr>"
        "<tr><td class='nm'>姓名:</td><td>李四</td></tr>"
        "<tr><td class='nm' valign='top'>地址:</td><td>北京市1号</td></tr>"
        "<tr><td class='nm'>E-Mail:</td><td>li@example.com</td></tr>"
        "<tr><td class='nm'></td><td class='ftm'><b>发件人相关信息</b></td></tr>"
        "<tr><td class='nm'>姓名:</td><td>张三</td></tr>"
        "<tr><td class='nm'>电话:</td><td>0755</td></tr>"
        "</table>");
    EXPECT_EQ(ShipmentInfoPage::Body(info, kHost), expected)
        << "the fuel surcharge of 0.0005 is left out; the sender has no e-mail row";
}

TEST(ShipmentInfoPage, RowsThatDependOnTheirValues)
{
    QByteArray reply = delivered();
    reply.replace("2026-03-01 18:00:00", "0");
    reply.replace(Gbk::fromUnicode(QStringLiteral("本人")), "OK.");
    reply.replace("\a<FID>1002", "\a<FID>0");
    reply.replace("\a<AADDON>0.0005", "\a<AADDON>0.01");
    const QString body = ShipmentInfoPage::Body(ShipmentInfo::Parse(reply), kHost);
    EXPECT_FALSE(body.contains(u"发货时间")) << "a dispatch time of 0";
    EXPECT_TRUE(body.contains(u"送达日期"));
    EXPECT_FALSE(body.contains(u"签收人")) << "the signer OK.";
    EXPECT_FALSE(body.contains(u"费用总计")) << "neither invoiced nor settled";

    reply.replace("\a<FID>0", "\a<IID>4\a<FID>0");
    const QString invoiced = ShipmentInfoPage::Body(ShipmentInfo::Parse(reply), kHost);
    EXPECT_TRUE(invoiced.contains(u"<b>费用结算:已开票. </b>"));
    EXPECT_TRUE(invoiced.contains(u"<tr><td class='nm'>燃油附加:</td><td>      0.01</td></tr>"));
}

TEST(ShipmentInfoPage, MissingTagsReadAsEmptyOrZero)
{
    const ShipmentInfo info = ShipmentInfo::Parse(QByteArray(120, 'x') + "\a<NUM>unclosed");
    EXPECT_TRUE(info.waybill.isEmpty());
    EXPECT_EQ(info.recordId, 0);
    EXPECT_EQ(ShipmentInfoPage::Title(info), u"№  [ID:0] - 状态:未发");
    const QString body = ShipmentInfoPage::Body(info, kHost);
    EXPECT_TRUE(body.contains(u"收件人相关信息") && body.contains(u"发件人相关信息"));
    EXPECT_FALSE(body.contains(u"物品相关信息"));
}

TEST(ShipmentInfoPage, ServerValuesNeverBecomeMarkup)
{
    QByteArray reply = delivered();
    reply.replace("D1010001001", "D1'><script>alert(1)</script>");
    reply.replace(Gbk::fromUnicode(QStringLiteral("李四")), "<img src=x onerror=alert(2)>");
    reply.replace(Gbk::fromUnicode(QStringLiteral("样品")), "</td></tr></table><a href=\"javascript:x\">&amp;");
    const ShipmentInfo info = ShipmentInfo::Parse(reply);
    const QString body = ShipmentInfoPage::Body(info, kHost);
    EXPECT_FALSE(body.contains(u"<script")) << body.toStdString();
    EXPECT_FALSE(body.contains(u"<img"));
    EXPECT_FALSE(body.contains(u"javascript:x\""));
    EXPECT_EQ(body.count(u"<a "), 1) << "the tracking link is the only link";
    EXPECT_EQ(body.count(u"</table>"), 1);
    EXPECT_TRUE(body.contains(u"&lt;img src=x onerror=alert(2)&gt;"));
    EXPECT_TRUE(body.contains(u"&amp;amp;"));
    EXPECT_TRUE(body.contains(u"cno=D1%27%3E%3Cscript%3Ealert%281%29%3C%2Fscript%3E'>"))
        << "the number in the link is percent-encoded";
    EXPECT_EQ(ShipmentInfoPage::Title(info), u"№ D1'><script>alert(1)</script> [ID:1001] - 状态:送达")
        << "the title is plain text; its label shows it as such";
}

TEST(ShipmentInfoPage, SkeletonAndDocument)
{
    const QString skeleton = ShipmentInfoPage::Skeleton();
    EXPECT_TRUE(skeleton.startsWith(u"<HTML>\r\n<HEAD>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
                                    u"charset=gb2312\">\r\n"));
    EXPECT_TRUE(skeleton.contains(u".tit{font-family:宋体;font-size:14.2px; font-weight:500;line-height:18px;}\r\n"));
    EXPECT_TRUE(skeleton.endsWith(u"<BODY topmargin=1 leftmargin=1 rightmargin=1>\r\n</BODY>\r\n</HTML>"));
    EXPECT_EQ(ShipmentInfoPage::Document(QStringLiteral("X")),
              QString(skeleton).replace(QStringLiteral("rightmargin=1>\r\n"), QStringLiteral("rightmargin=1>X\r\n")));

    const QString text = ShipmentInfoPage::PlainText(ShipmentInfo::Parse(delivered()), kHost);
    EXPECT_TRUE(text.startsWith(u"№ D1010001001 [ID:1001] - 状态:送达\n运单号: D1010001001  http://127.0.0.1:8080/"));
    EXPECT_TRUE(text.contains(u"\n[收件人相关信息]\n姓名: 李四\n"));
}
