#include "DemoServer.h"
#include "ServerData.h"

#include <QMap>
#include <QStringList>

namespace {

// The base data as the client reads its file (the body after 'C', up to and
// including the BEL): the three blocks between their markers, line by line.
struct ClientView {
    bool divisorMode = false;
    QList<QPair<QByteArray, QByteArray>> kinds;
    QList<QList<QByteArray>> destinations; // region, zone, key1, key2, postcode, name, country
    QMap<QByteArray, QByteArray> served;

    static QByteArray block(const QByteArray &file, const char *open, const char *close, qsizetype &from)
    {
        const qsizetype begin = file.indexOf(open, from);
        const qsizetype end = begin < 0 ? -1 : file.indexOf(close, begin + 5);
        if (end < 0)
            return {};
        from = end;
        return file.mid(begin + 5, end - begin - 5);
    }

    explicit ClientView(const QByteArray &body)
    {
        const QByteArray file = body.mid(1);
        divisorMode = file.size() > 1 && file[1] == 'D';
        qsizetype at = 1;
        for (const QByteArray &line : block(file, "\nEMB\n", "\nEME\n", at).split('\n')) {
            const qsizetype tab = line.indexOf('\t');
            if (tab < 0)
                break;
            kinds.append({line.left(tab), line.mid(tab + 1)});
        }
        for (const QByteArray &line : block(file, "\nGPB\n", "\nGPE\n", at).split('\n')) {
            const QList<QByteArray> tabbed = line.split('\t');
            if (tabbed.size() != 6 || line.size() < 3)
                break;
            destinations.append(
                {line.left(1), tabbed[0].mid(2), tabbed[1], tabbed[2], tabbed[3], tabbed[4], tabbed[5]});
        }
        const QList<QByteArray> pairs = block(file, "\nEPB\n", "\nEPE\n", at).split('\n');
        for (qsizetype i = 0; i + 1 < pairs.size(); i += 2)
            served.insert(pairs[i], pairs[i + 1]);
    }

    const QList<QByteArray> *destination(const QByteArray &name) const
    {
        for (const auto &d : destinations) {
            if (d[5] == name)
                return &d;
        }
        return nullptr;
    }
};

class BaseData : public DemoServer {
protected:
    QByteArray download(const QByteArray &site = "DEMO")
    {
        const RawReply r = http->exchange(http->baseDataRequest(site));
        EXPECT_TRUE(r.received);
        EXPECT_EQ(r.status(), 200);
        return r.body;
    }
};

TEST_F(BaseData, DemoTextHasTheThreeBlocksEndedByOneBel)
{
    const QByteArray body = download();
    ASSERT_TRUE(body.startsWith("C1N\n\nEMB\nTK\t" + gbk("特快专递") + "\n")) << body.left(40).toHex().constData();
    EXPECT_TRUE(body.endsWith("\nEPE\n\a"));
    EXPECT_EQ(body.count('\a'), 1);

    const ClientView view(body);
    EXPECT_FALSE(view.divisorMode);
    ASSERT_EQ(view.kinds.size(), 7);
    EXPECT_EQ(view.kinds[6], qMakePair(QByteArray("GJJJ"), gbk("国际经济快递")));

    EXPECT_GE(view.destinations.size(), 100);
    const auto *beijing = view.destination(gbk("北京"));
    ASSERT_NE(beijing, nullptr);
    EXPECT_EQ(*beijing, (QList<QByteArray>{"0", "4", "BJ", "BEIJING", "100000", gbk("北京"), gbk("中国")}));
    const auto *hongKong = view.destination(gbk("香港"));
    ASSERT_NE(hongKong, nullptr);
    EXPECT_EQ((*hongKong)[0], "1");
    const auto *usa = view.destination(gbk("美国"));
    ASSERT_NE(usa, nullptr);
    EXPECT_EQ(*usa, (QList<QByteArray>{"2", "8", "US", "USA", "", gbk("美国"), "UNITED STATES"}));
    for (const auto &d : view.destinations) {
        EXPECT_LE(d[2].size(), 7);
        EXPECT_LE(d[3].size(), 15);
        EXPECT_LE(d[5].size(), 31);
    }
}

TEST_F(BaseData, ServedListsNameKnownDestinationsEachFollowedByATab)
{
    const ClientView view(download());
    ASSERT_EQ(view.served.size(), 7);
    EXPECT_EQ(view.served.value("TC"), gbk("广东广州\t广东深圳\t广东东莞\t广东佛山\t广东珠海\t广东汕头\t"));
    EXPECT_EQ(view.served.value("GA"), gbk("香港\t澳门\t台湾\t"));
    for (auto it = view.served.begin(); it != view.served.end(); ++it) {
        EXPECT_TRUE(it.value().endsWith('\t'));
        for (const QByteArray &name : it.value().chopped(1).split('\t'))
            EXPECT_NE(view.destination(name), nullptr) << it.key().constData();
    }
    // The domestic economy kind leaves out the far west; the international ones all of the mainland.
    EXPECT_FALSE(view.served.value("JJ").contains(gbk("拉萨\t")));
    EXPECT_TRUE(view.served.value("JJ").contains(gbk("北京\t")));
    EXPECT_FALSE(view.served.value("GJ").contains(gbk("北京\t")));
}

TEST_F(BaseData, VolumeModeAndUnknownSites)
{
    ASSERT_EQ(runSql(server.dataFile(), "UPDATE site SET cvolmode = 'D' WHERE cwcid = 'DEMO'"), "");
    const QByteArray body = download();
    EXPECT_TRUE(body.startsWith("C1D\n"));
    EXPECT_TRUE(ClientView(body).divisorMode);

    EXPECT_EQ(download("NOSITE"), "-1\n");
    EXPECT_EQ(download("\xff\xff"), "-1\n");
    EXPECT_EQ(http->exchange("GET /cgi-bin/VEdiz.dll?KVGetSysData HTTP/1.0\r\n\r\n").body, "-1\n");
}

TEST_F(BaseData, FieldsNeverCarryControlBytesOrExceedTheirRoom)
{
    ASSERT_EQ(runSql(server.dataFile(),
                     "INSERT INTO destination (nregion, nzone, ckey1, ckey2, cpost, cname, ccountry) VALUES "
                     "(2, 8, 'TOOLONGKEY', 'A' || char(9) || 'B', '1' || char(7) || '2', 'X' || char(10) || 'Y', "
                     "'Z' || char(13) || 'Z');"
                     "INSERT INTO ems_kind (ccode, cname, nsort) VALUES ('LONG', '" +
                         std::string(40, 'n') +
                         "', 99);"
                         "INSERT INTO ems_kind_des SELECT 'LONG', ides FROM destination WHERE ckey1 = 'TOOLONGKEY'"),
              "");
    const QByteArray body = download();
    EXPECT_EQ(body.count('\a'), 1);
    const ClientView view(body);
    const auto *odd = view.destination("X Y");
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(*odd, (QList<QByteArray>{"2", "8", "TOOLONG", "A B", "1 2", "X Y", "Z Z"}));
    EXPECT_EQ(view.kinds.last(), qMakePair(QByteArray("LONG"), QByteArray(31, 'n')));
    EXPECT_EQ(view.served.value("LONG"), "X Y\t");
}

} // namespace
