#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "support/Quarvelctl.h"
#include "support/TarvoData.h"
#include "support/TarvoServer.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

// A counter folder configured for a demo server, its base data downloaded.
struct Counter {
    explicit Counter(const TarvoServer &server)
    {
        EXPECT_EQ(ctl({"config", "set", "host", server.host().toUtf8().constData()}).code, 0);
        EXPECT_EQ(ctl({"config", "set", "site", "DEMO"}).code, 0);
        EXPECT_EQ(ctl({"basedata", "download"}).code, 0);
    }

    CtlResult ctl(std::initializer_list<const char *> args, const char *account = nullptr) const
    {
        QStringList all{QStringLiteral("--root"), root.path()};
        QByteArray input;
        if (account) {
            all << QStringLiteral("--account") << QString::fromUtf8(account) << QStringLiteral("--password-stdin");
            input = QByteArray(account) == "check" ? "check\n" : "demo\n";
        }
        for (const char *a : args)
            all << QString::fromUtf8(a);
        return runQuarvelctl(all, input);
    }

    TempRoot root;
};

// Writes shipments with goods and piece lines straight into the counter's
// files, as the pre-entry page saves them.
void addShipments(const Counter &c, const QList<std::pair<QString, QString>> &numberAndDestination)
{
    ClientContext context(c.root.path());
    ScriptedPrompter prompter;
    ASSERT_TRUE(context.Start(prompter));
    for (const auto &[number, destination] : numberAndDestination) {
        PreInputRecord r{};
        r.ddate = {2026, 1, 7};
        r.nitemtype = 1;
        r.npayway = 1;
        r.fweight = 1.2;
        r.npieces = 2;
        Gbk::setField(r.cnum, number);
        Gbk::setField(r.cdes, destination);
        Gbk::setField(r.cemskind, QStringLiteral("特快专递"));
        Gbk::setField(r.creceiver, QStringLiteral("王'五"));
        context.preInputs().Append(&r);
        for (const char16_t *name : {u"茶叶", u"瓷'器"}) {
            GoodsRecord g{};
            g.iparent = r.iid;
            g.nquantity = 3;
            g.fprice = 12.5;
            Gbk::setField(g.cname, QString::fromUtf16(name));
            context.goods().Append(&g);
        }
        WeightRecord w{};
        w.iparent = r.iid;
        w.nweight = 1200;
        w.nquantity = 2;
        Gbk::setField(w.cname, QStringLiteral("箱"));
        context.weights().Append(&w);
    }
    context.Shutdown();
}

} // namespace

TEST(UploadCommands, UploadedRecordsMoveToTheServerRefusedOnesStay)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    Counter c(server);
    // D1010000001 is a demo shipment already: a repeat. No destination: cannot be sent.
    addShipments(c, {{QStringLiteral("EA1"), QStringLiteral("北京")},
                     {QStringLiteral("D1010000001"), QStringLiteral("北京")},
                     {QStringLiteral("EA3XXXXX"), QStringLiteral("上海")},
                     {QStringLiteral("EA4"), QString()}});

    const CtlResult r = c.ctl({"upload", "--all"}, "demo");
    EXPECT_EQ(r.code, 1) << r.errText().toStdString();
    // One line per record: id, status (the server's new id when accepted), text.
    const QStringList lines = QString::fromUtf8(r.out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << r.out.constData();
    const QStringList expected[] = {{QStringLiteral("1"), QStringLiteral("上传成功")},
                                    {QStringLiteral("2"), QStringLiteral("单号重复")},
                                    {QStringLiteral("3"), QStringLiteral("上传成功")},
                                    {QStringLiteral("4"), QStringLiteral("数据错误")}};
    for (int i = 0; i < 4; ++i) {
        const QStringList f = lines[i].split(u'\t');
        ASSERT_EQ(f.size(), 3);
        EXPECT_EQ(f[0], expected[i][0]);
        EXPECT_EQ(f[2], expected[i][1]);
    }
    EXPECT_GT(lines[0].split(u'\t')[1].toInt(), 0);
    EXPECT_EQ(lines[1].split(u'\t')[1], QStringLiteral("-2"));
    EXPECT_EQ(lines[3].split(u'\t')[1], QStringLiteral("-1"));
    EXPECT_TRUE(r.errText().contains(QStringLiteral("共 4 条，已处理 4 条(100%)。2 成功; 2 失败。\n")));

    const CtlResult left = c.ctl({"records", "list"});
    EXPECT_EQ(left.out, QStringLiteral("2\tD1010000001\t北京\t王'五\n4\tEA4\t\t王'五\n").toUtf8());
    TarvoData data(server.dataFile());
    EXPECT_EQ(data.text("SELECT creceiver FROM client_rec WHERE cnum = 'EA1'"), "王'五");
    const std::string completed = data.text("SELECT irid FROM client_rec WHERE cnum = 'EA300101'");
    ASSERT_FALSE(completed.empty()) << "the placeholder took the customer id";
    const auto goods = data.rows("SELECT nline, cname, nquantity, fprice FROM client_rec_goods WHERE irid = ? "
                                 "ORDER BY nline",
                                 {completed});
    EXPECT_EQ(goods, (std::vector<TarvoData::Row>{{"0", "茶叶", "3", "12.5"}, {"1", "瓷'器", "3", "12.5"}}));
    EXPECT_EQ(data.text("SELECT cname || ',' || nweight || ',' || nquantity FROM client_rec_weight_detail "
                        "WHERE irid = ?",
                        {completed}),
              "箱,1200,2");

    // The local lines of the uploaded records went with them.
    ClientContext context(c.root.path());
    ScriptedPrompter prompter;
    ASSERT_TRUE(context.Start(prompter, RecordFile::Mode::ReadOnly));
    EXPECT_EQ(context.goods().GetCount(), 4);
    EXPECT_EQ(context.weights().GetCount(), 2);
    for (int i = 0; i < context.goods().GetCount(); ++i)
        EXPECT_TRUE(context.goods().At(i)->iparent == 2 || context.goods().At(i)->iparent == 4);
}

TEST(UploadCommands, UsageAndLogin)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    Counter c(server);
    EXPECT_EQ(c.ctl({"upload"}).code, 2);
    EXPECT_EQ(c.ctl({"upload", "x1"}).code, 2);
    EXPECT_EQ(c.ctl({"scans", "send"}).code, 2);
    const CtlResult none = c.ctl({"upload", "--all"}, "demo");
    EXPECT_EQ(none.code, 1);
    EXPECT_TRUE(none.errText().contains(QStringLiteral("没有选择需要上传的数据！")));
    const CtlResult wrong = c.ctl({"upload", "--all"});
    EXPECT_EQ(wrong.code, 2) << "no account, no login";
}

TEST(UploadCommands, TidyPriceAndQuote)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    Counter c(server);
    addShipments(c, {{QStringLiteral("DE901230XXXXX"), QStringLiteral("北京")},
                     {QStringLiteral("DE901240XXXXX"), QStringLiteral("火星")}});
    const CtlResult tidy = c.ctl({"tidy"}, "demo");
    EXPECT_EQ(tidy.code, 0);
    EXPECT_EQ(tidy.out, "1\tDE90123000101\n2\tDE90124000101\n");

    const CtlResult price = c.ctl({"price", "--all"}, "demo");
    EXPECT_EQ(price.code, 1) << "a record that cannot be priced is a refusal";
    EXPECT_EQ(price.out, QStringLiteral("1\t26.00\n2\t-\t没有价格\n").toUtf8());
    const CtlResult listed = c.ctl({"records", "list", "--json"});
    EXPECT_EQ(QJsonDocument::fromJson(listed.out).array().at(0)[QStringLiteral("ffee")].toDouble(), 26.0)
        << listed.out.constData();

    const CtlResult quote = c.ctl({"quote", "北京", "1.2", "包裹"}, "demo");
    EXPECT_EQ(quote.code, 0);
    const QString text = QString::fromUtf8(quote.out);
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("客户报价查询结果[北京,1.200kg,包裹]\n特快专递\t26.00\t预计 2 - 3 天\n")))
        << text.toStdString();
    EXPECT_EQ(c.ctl({"quote", "北京", "0.0005", "1"}, "demo").code, 1);
}

TEST(UploadCommands, ScansUpload)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    Counter c(server);
    {
        ClientContext context(c.root.path());
        ScriptedPrompter prompter;
        ASSERT_TRUE(context.Start(prompter));
        for (const char *number : {"D1010000002", "D1010000003"}) {
            CheckRecord s{};
            s.nkind = 1;
            s.nflight = 1;
            Gbk::setField(s.cnum, QString::fromLatin1(number));
            Gbk::setField(s.cdate, QStringLiteral("2026.01.07 10:00"));
            Gbk::setField(s.cplace, QStringLiteral("深圳"));
            Gbk::setField(s.cinfo, QStringLiteral("快件已离开"));
            context.checks().Append(&s);
        }
        context.Shutdown();
    }
    const CtlResult r = c.ctl({"scans", "upload", "--all"}, "check");
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.startsWith("1\t")) << r.out.constData();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("2\t-3\t已送达\n").toUtf8()));
    TarvoData data(server.dataFile());
    EXPECT_EQ(data.text("SELECT cinfo FROM check_detail WHERE cnum = 'D1010000002'"), "快件已离开");
}
