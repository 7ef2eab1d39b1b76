#include "DemoServer.h"
#include "UploadPayload.h"
#include "support/TarvoData.h"
#include "support/TarvoSeed.h"

namespace {

// Scans as they move shipments on, the site they may touch, and the
// tracking page that shows a shipment's history.
class ScanMovement : public DemoServer {
protected:
    void SetUp() override
    {
        DemoServer::SetUp();
        checkpoint = logIn("check", "check");
        TarvoSeed seed(server.dataFile());
        ASSERT_TRUE(seed.addShipments("MV", 6)) << seed.error();
    }

    QByteArray scan(const ScanValues &s) { return trans(request("check", checkpoint, "4", "3", "1", scanCall(s))); }

    static ScanValues of(const char *waybill, int kind)
    {
        ScanValues s;
        s.waybill = QString::fromLatin1(waybill);
        s.kind = kind;
        return s;
    }

    std::string state(const std::string &waybill) const
    {
        return TarvoData(server.dataFile())
            .text("SELECT nstate || '|' || csigner || '|' || dsigndate FROM client_rec WHERE cnum = ?", {waybill});
    }

    QByteArray page(const QByteArray &number)
    {
        const RawReply r = http->exchange("GET /cgi-bin/VEdiz.dll?TarvoTrack&cno=" + number +
                                          " HTTP/1.0\r\nHost: " + http->host() + "\r\n\r\n");
        EXPECT_EQ(r.status(), 200);
        EXPECT_EQ(r.header("Content-Type"), "text/html; charset=utf-8");
        return r.body;
    }

    static bool accepted(const QByteArray &reply) { return reply.trimmed().toInt() > 0; }

    QByteArray checkpoint;
};

TEST_F(ScanMovement, EveryKindMovesTheShipmentToItsState)
{
    EXPECT_TRUE(accepted(scan(of("MV000001", 0))));
    EXPECT_EQ(state("MV000001"), "2||") << "arrival: in transit";
    EXPECT_TRUE(accepted(scan(of("MV000002", 1))));
    EXPECT_EQ(state("MV000002"), "2||") << "departure: in transit";
    EXPECT_TRUE(accepted(scan(of("MV000003", 2))));
    EXPECT_EQ(state("MV000003"), "2||") << "out for delivery: in transit";

    ScanValues lost = of("MV000004", 4);
    lost.state = 7;
    EXPECT_TRUE(accepted(scan(lost)));
    EXPECT_EQ(state("MV000004"), "7||");
    ScanValues noState = of("MV000005", 4);
    EXPECT_TRUE(accepted(scan(noState)));
    EXPECT_EQ(state("MV000005"), "1||") << "an exception without a chosen state changes nothing";

    ScanValues signature = of("MV000006", 3);
    signature.signer = QStringLiteral("赵六");
    signature.signTime = QStringLiteral("2026.02.03 08:09:10");
    EXPECT_TRUE(accepted(scan(signature)));
    EXPECT_EQ(state("MV000006"), "3|赵六|2026-02-03 08:09:10");
    EXPECT_EQ(scan(of("MV000006", 0)), "-3\n") << "a delivered shipment takes no further scan";
    // An exception scan after arrival: the later scan decides.
    lost.waybill = QStringLiteral("MV000001");
    lost.state = 9;
    EXPECT_TRUE(accepted(scan(lost)));
    EXPECT_EQ(state("MV000001"), "9||");
}

TEST_F(ScanMovement, ACheckpointScansOnlyShipmentsOfItsOwnSite)
{
    TarvoSeed seed(server.dataFile());
    ASSERT_TRUE(seed.addOtherSite("OTHER0001")) << seed.error();
    EXPECT_EQ(scan(of("OTHER0001", 3)), "-2\n") << "another site's shipment is as unknown as no shipment";
    EXPECT_EQ(state("OTHER0001"), "1||");
    EXPECT_EQ(TarvoData(server.dataFile()).text("SELECT COUNT(*) FROM check_detail WHERE cnum = 'OTHER0001'"), "0");
    EXPECT_TRUE(accepted(scan(of("MV000001", 0)))) << "its own site's shipments still scan";
}

TEST_F(ScanMovement, TheTrackingPageShowsTheHistoryInOrderWithEveryValueEscaped)
{
    ScanValues arrival = of("MV000002", 0);
    arrival.date = QStringLiteral("2026-02-01 09:00");
    arrival.place = QStringLiteral("<script>alert('x')</script>");
    arrival.info = QStringLiteral("快件已到达 & \"分拣\"");
    ASSERT_TRUE(accepted(scan(arrival)));
    ScanValues exception = of("MV000002", 4);
    exception.date = QStringLiteral("2026-02-02 10:00");
    exception.state = 6;
    exception.version = 1;
    exception.placeEn = QStringLiteral("Hub <B>");
    exception.infoEn = QStringLiteral("Address\awrong");
    ASSERT_TRUE(accepted(scan(exception)));
    ScanValues signature = of("MV000002", 3);
    signature.date = QStringLiteral("2026-02-03 11:00");
    signature.signer = QStringLiteral("O'Neil<i>");
    signature.signTime = QStringLiteral("2026.02.03 11:00:00");
    ASSERT_TRUE(accepted(scan(signature)));

    const QString html = QString::fromUtf8(page("MV000002"));
    EXPECT_TRUE(html.contains(QStringLiteral("<td>当前状态:</td><td>送达</td>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<td>快递类别:</td><td>特快专递</td>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<td>签收人:</td><td>O&#39;Neil&lt;i&gt;</td>")));
    EXPECT_TRUE(html.contains(QStringLiteral("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;")));
    EXPECT_TRUE(html.contains(QStringLiteral("快件已到达 &amp; &quot;分拣&quot;")));
    EXPECT_TRUE(html.contains(QStringLiteral("<td>异常(地址错误)</td><td>Hub &lt;B&gt;</td><td>Address wrong</td>")));
    EXPECT_FALSE(html.contains(QStringLiteral("<script>")));
    EXPECT_FALSE(html.contains(QStringLiteral("<i>")));
    EXPECT_FALSE(html.contains(QChar(u'\a')));
    const qsizetype history = html.indexOf(QStringLiteral("运转记录"));
    const qsizetype first = html.indexOf(QStringLiteral("2026-02-01 09:00"), history);
    const qsizetype second = html.indexOf(QStringLiteral("2026-02-02 10:00"), history);
    const qsizetype third = html.indexOf(QStringLiteral("2026-02-03 11:00"), history);
    EXPECT_TRUE(history > 0 && first > history && first < second && second < third) << "oldest first";
    EXPECT_EQ(html.count(QStringLiteral("<tr>")), 7 + 1 + 4) << "seven info lines, the header, upload and three scans";
    EXPECT_FALSE(html.contains(QStringLiteral("北京市"))) << "no receiver details";
}

TEST_F(ScanMovement, TheTrackingPageForUnknownOrHostileNumbers)
{
    const QString unknown = QString::fromUtf8(page("%3Cimg%20src%3Dx%3E"));
    EXPECT_TRUE(unknown.contains(QStringLiteral("没有找到运单号为 <b>&lt;img src=x&gt;</b> 的快件。")));
    EXPECT_FALSE(unknown.contains(QStringLiteral("<img")));
    EXPECT_TRUE(QString::fromUtf8(page("")).contains(QStringLiteral("请在链接中给出运单号")));
    // Not UTF-8 and not GBK: still a well-formed page.
    const QByteArray broken = page("%FF%FE");
    EXPECT_EQ(QString::fromUtf8(broken).toUtf8(), broken);

    // The client's own link carries GBK bytes; a browser sends UTF-8.
    TarvoSeed seed(server.dataFile());
    ASSERT_TRUE(seed.exec("INSERT INTO client_rec (icid, cnum, nstate) VALUES (101, '中文单号1', 2);"));
    EXPECT_TRUE(QString::fromUtf8(page("%D6%D0%CE%C4%B5%A5%BA%C51")).contains(QStringLiteral("<td>转运中</td>")));
    EXPECT_TRUE(
        QString::fromUtf8(page("%E4%B8%AD%E6%96%87%E5%8D%95%E5%8F%B71")).contains(QStringLiteral("<td>转运中</td>")));
    // Other paths and commands stay 404.
    EXPECT_EQ(http->exchange("GET /cgi-bin/VEdiz.dll?TarvoTrackX&cno=MV000001 HTTP/1.0\r\n\r\n").status(), 404);
}

} // namespace
