#include "support/CtlCounter.h"
#include "support/TarvoData.h"
#include "support/TarvoServer.h"
#include "support/TempRoot.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

QJsonObject json(const CtlResult &r)
{
    return QJsonDocument::fromJson(r.out).object();
}

QStringList waybills(const QJsonObject &list)
{
    QStringList numbers;
    for (const QJsonValue &row : list.value(QStringLiteral("rows")).toArray())
        numbers << row.toObject().value(QStringLiteral("cells")).toObject().value(QStringLiteral("运单号")).toString();
    return numbers;
}

} // namespace

TEST(QueryCommands, UploadedShipmentsAppearInTheRecordList)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    CtlCounter c(server, "demo", "demo");
    c.addShipments({QStringLiteral("EQ0000001"), QStringLiteral("EQ0000002")});
    ASSERT_EQ(c.ctl({"upload", "--all"}).code, 0);

    const CtlResult text = c.ctl({"query", "records", "num=EQ00000"});
    ASSERT_EQ(text.code, 0) << text.errText().toStdString();
    const QStringList lines = QString::fromUtf8(text.out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << text.out.constData();
    EXPECT_EQ(lines[0], u"●共 2 票，1 页。◇当前为第1页：2票4件,重量2.400公斤,运费0.00元");
    EXPECT_TRUE(lines[1].startsWith(u"ID\t序号\t业务日期\t运单号\t"));
    EXPECT_TRUE(lines[2].contains(u"\tEQ0000002\t包裹\t2\t1.200\t") && lines[2].contains(u"\t王'五\t"))
        << lines[2].toStdString();

    const QJsonObject list = json(c.ctl({"query", "records", "receiver=王'五", "types=1", "--json"}));
    EXPECT_EQ(waybills(list), (QStringList{QStringLiteral("EQ0000002"), QStringLiteral("EQ0000001")}));
    EXPECT_EQ(list.value(QStringLiteral("total")).toInt(), 2);
    const int id = list.value(QStringLiteral("rows")).toArray().at(1).toObject().value(QStringLiteral("id")).toInt();
    EXPECT_EQ(TarvoData(server.dataFile()).text("SELECT cnum FROM client_rec WHERE irid = ?", {std::to_string(id)}),
              "EQ0000001");

    const CtlResult info = c.ctl({"info", QByteArray::number(id).constData()});
    ASSERT_EQ(info.code, 0) << info.errText().toStdString();
    EXPECT_TRUE(info.out.startsWith(QStringLiteral("№ EQ0000001 [ID:%1] - 状态:未发\n").arg(id).toUtf8()));
    const CtlResult html = c.ctl({"info", QByteArray::number(id).constData(), "--html"});
    EXPECT_TRUE(html.out.contains("/cgi-bin/VEdiz.dll?TarvoTrack&amp;cno=EQ0000001'>EQ0000001</a>"));
    EXPECT_TRUE(html.out.contains(QStringLiteral("<td>王&#39;五</td>").toUtf8()));
}

TEST(QueryCommands, PagesStatesAndSettlements)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    CtlCounter c(server, "demo", "demo");
    // Naming the business-date mode keeps the dialog's dates (the last seven days).
    EXPECT_EQ(json(c.ctl({"query", "records", "datemode=0", "--json"})).value(QStringLiteral("total")),
              json(c.ctl({"query", "records", "--json"})).value(QStringLiteral("total")));
    const QJsonObject third = json(c.ctl({"query", "records", "datemode=0", "from=20000101", "--page", "3", "--json"}));
    EXPECT_EQ(third.value(QStringLiteral("page")).toInt(), 3);
    EXPECT_GE(third.value(QStringLiteral("pages")).toInt(), 4);
    const QJsonArray rows = third.value(QStringLiteral("rows")).toArray();
    ASSERT_EQ(rows.size(), 100);
    EXPECT_EQ(
        rows.first().toObject().value(QStringLiteral("cells")).toObject().value(QStringLiteral("序号")).toString(),
        u"201");

    const QJsonObject lost =
        json(c.ctl({"query", "records", "from=20000101", "state=快件丢失", "paystate=paid", "--json"}));
    ASSERT_GT(lost.value(QStringLiteral("total")).toInt(), 0);
    for (const QJsonValue &r : lost.value(QStringLiteral("rows")).toArray())
        EXPECT_EQ(r.toObject().value(QStringLiteral("cells")).toObject().value(QStringLiteral("状态")).toString(),
                  u"丢失");

    const CtlResult fees = c.ctl({"query", "fees", "from=20000101", "types=1"});
    ASSERT_EQ(fees.code, 0) << fees.errText().toStdString();
    EXPECT_TRUE(
        fees.out.startsWith(QStringLiteral("●共 2 条，1 页。◇当前为第1页：2条,结算4000.00元,票单0.00元,").toUtf8()))
        << fees.out.constData();
}

TEST(QueryCommands, UploadedPreEntriesAppearAndCanBeDeleted)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    CtlCounter c(server, "demopre", "demo");
    c.addShipments({QStringLiteral("EP0000001"), QStringLiteral("EP0000002")});
    ASSERT_EQ(c.ctl({"upload", "--all"}).code, 0);

    QJsonObject pre = json(c.ctl({"query", "pre", "--json"}));
    EXPECT_EQ(waybills(pre),
              (QStringList{QStringLiteral("EP0000002"), QStringLiteral("EP0000001"), QStringLiteral("D1010000004")}));
    const QByteArray first = QByteArray::number(
        pre.value(QStringLiteral("rows")).toArray().at(1).toObject().value(QStringLiteral("id")).toInt());
    const std::string others = TarvoData(server.dataFile()).text("SELECT MIN(iid) FROM rec_pre_input WHERE icid = 102");
    const CtlResult removed = c.ctl({"query", "delete-pre", first.constData(), others.c_str()});
    EXPECT_EQ(removed.code, 0) << removed.errText().toStdString();
    EXPECT_EQ(removed.out, QStringLiteral("已删除 1 条记录。\n").toUtf8());
    pre = json(c.ctl({"query", "pre", "--json"}));
    EXPECT_EQ(waybills(pre), (QStringList{QStringLiteral("EP0000002"), QStringLiteral("D1010000004")}));
    EXPECT_EQ(TarvoData(server.dataFile()).text("SELECT COUNT(*) FROM rec_pre_input WHERE icid = 102"), "3");
}

TEST(QueryCommands, TheWeightAndFreightRangesOfTheDialogSelect)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    CtlCounter c(server, "demo", "demo");
    c.addShipment(QStringLiteral("EW0000001"), 0.5, 10);
    c.addShipment(QStringLiteral("EW0000002"), 2, 30);
    c.addShipment(QStringLiteral("EW0000003"), 8, 90);
    ASSERT_EQ(c.ctl({"upload", "--all"}).code, 0);

    const auto numbers = [&c](std::initializer_list<const char *> ranges) {
        std::vector<std::string> args{"query", "records", "num=EW000000", "--json"};
        args.insert(args.end(), ranges.begin(), ranges.end());
        const CtlResult r = c.ctl(args);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        QStringList found = waybills(json(r));
        found.sort();
        return found;
    };
    const QString w1 = QStringLiteral("EW0000001"), w2 = QStringLiteral("EW0000002"), w3 = QStringLiteral("EW0000003");
    EXPECT_EQ(numbers({}), (QStringList{w1, w2, w3}));
    EXPECT_EQ(numbers({"wmin=1"}), (QStringList{w2, w3}));
    EXPECT_EQ(numbers({"wmin=1", "wmax=2"}), (QStringList{w2})) << "both bounds belong to the range";
    EXPECT_EQ(numbers({"wmax=2"}), (QStringList{w1, w2}));
    EXPECT_EQ(numbers({"fmin=30", "fmax=90"}), (QStringList{w2, w3}));
    EXPECT_EQ(numbers({"wmin=0.1", "fmax=20"}), (QStringList{w1}));
    EXPECT_EQ(numbers({"wmin=5", "wmax=1"}), (QStringList{w3}))
        << "a top below the bottom is left out, as in the dialog";

    const CtlResult word = c.ctl({"query", "records", "wmin=heavy"});
    EXPECT_EQ(word.code, 1);
    EXPECT_EQ(word.errText(), QStringLiteral("query records: wmin: a number from 0 expected\n"));
    EXPECT_EQ(c.ctl({"query", "records", "fmax=-1"}).code, 1);
}

TEST(QueryCommands, QuoteWithoutALoginPrintsThePricePageOfTheWindow)
{
    TempRoot root;
    const auto quote = [&root](const QStringList &rest) {
        return runQuarvelctl(QStringList{QStringLiteral("--root"), root.path(), QStringLiteral("quote")} + rest);
    };
    ASSERT_EQ(runQuarvelctl({QStringLiteral("--root"), root.path(), QStringLiteral("config"), QStringLiteral("set"),
                             QStringLiteral("host"), QStringLiteral("tarvo.example:8080")})
                  .code,
              0);
    // No server is asked: the address is made from the configuration alone.
    const CtlResult page = quote({QStringLiteral("广东 广州"), QStringLiteral("1.25"), QStringLiteral("包裹")});
    ASSERT_EQ(page.code, 0) << page.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(page.out),
              QStringLiteral("http://tarvo.example:8080/cgi-bin/VEdiz.dll?EmsPriceQuery&w=DEMO&itype=1&fweight=1.250&"
                             "cdes=广东 广州\n"));
    EXPECT_TRUE(page.err.isEmpty());

    // The checks of the page come first.
    const CtlResult noWeight = quote({QStringLiteral("北京"), QStringLiteral("0.0005"), QStringLiteral("0")});
    EXPECT_EQ(noWeight.code, 1);
    EXPECT_EQ(noWeight.errText(), QStringLiteral("在线价格查询：\n必须提供重量。\n"));
    const CtlResult noDestination = quote({QString(), QStringLiteral("1"), QStringLiteral("0")});
    EXPECT_EQ(noDestination.code, 1);
    EXPECT_EQ(noDestination.errText(), QStringLiteral("在线价格查询：\n目的地不能为空。\n"));
    EXPECT_EQ(quote({QStringLiteral("北京"), QStringLiteral("heavy"), QStringLiteral("0")}).code, 1);
    EXPECT_EQ(quote({QStringLiteral("北京"), QStringLiteral("1"), QStringLiteral("3")}).code, 1);
    EXPECT_EQ(quote({QStringLiteral("北京"), QStringLiteral("1")}).code, 2);

    // A host the configuration refuses gives no page.
    root.write(QStringLiteral("DATA_SYS/server.cfg"), "host=no such host\nsite=DEMO\n");
    const CtlResult noHost = quote({QStringLiteral("北京"), QStringLiteral("1"), QStringLiteral("0")});
    EXPECT_EQ(noHost.code, 2);
    EXPECT_TRUE(noHost.out.isEmpty());
    EXPECT_TRUE(noHost.errText().endsWith(QStringLiteral("没有可用的服务器地址，无法给出价格页面。\n")))
        << noHost.err.toStdString();
}

TEST(QueryCommands, BadInputAndNoServer)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    CtlCounter c(server, "demo", "demo");
    const CtlResult dates = c.ctl({"query", "records", "from=abc", "to=2026.13.45"});
    EXPECT_EQ(dates.code, 1);
    EXPECT_TRUE(dates.errText().contains(u"起始日期不对")) << dates.errText().toStdString();
    EXPECT_EQ(c.ctl({"query", "records", "nosuch=1"}).code, 2);
    EXPECT_EQ(c.ctl({"query", "records", "types=0,5"}).code, 1);
    EXPECT_EQ(c.ctl({"query", "records", "paystate=sometimes"}).code, 1);
    EXPECT_EQ(c.ctl({"query", "records", "--page", "0"}).code, 2);
    EXPECT_EQ(c.ctl({"query", "delete-pre"}).code, 2);
    EXPECT_EQ(c.ctl({"info", "x"}).code, 2);
    const CtlResult nothing = c.ctl({"query", "records", "num=NOSUCHNUMBER"});
    EXPECT_EQ(nothing.code, 0);
    EXPECT_TRUE(nothing.errText().contains(u"没有符合条件的记录。"));
    const CtlResult missing = c.ctl({"info", "999999"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.errText().contains(u"查询失败。返回值：0"));
    server.stop();
    const CtlResult down = c.ctl({"query", "fees"});
    EXPECT_EQ(down.code, 2);
}
