#include "excel/PrintDestination.h"
#include "support/Quarvelctl.h"
#include "support/TarvoServer.h"
#include "support/TempRoot.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

// A counter configured for a demo server, with three shipments keyed for
// today: two paid in cash by 特快专递, one collect by 经济快递.
struct Counter {
    explicit Counter(const TarvoServer &server)
    {
        EXPECT_EQ(ctl({"config", "set", "host", server.host().toUtf8()}).code, 0);
        EXPECT_EQ(ctl({"config", "set", "site", "DEMO"}).code, 0);
        EXPECT_EQ(ctl({"basedata", "download"}, true).code, 0);
        add("E2E0001", "特快专递", "广州", "1.5", "20", "1");
        add("E2E0002", "特快专递", "北京", "2.25", "30", "1");
        add("E2E0003", "经济快递", "上海", "0.75", "12", "2");
    }
    CtlResult ctl(const QList<QByteArray> &args, bool login = false) const
    {
        QStringList all{QStringLiteral("--root"), root.path()};
        if (login)
            all << QStringLiteral("--account") << QStringLiteral("demo") << QStringLiteral("--password-stdin");
        for (const QByteArray &a : args)
            all << QString::fromUtf8(a);
        return runQuarvelctl(all, login ? QByteArray("demo\n") : QByteArray());
    }
    void add(const char *number, const char *kind, const char *destination, const char *kg, const char *fee,
             const char *payWay)
    {
        const QByteArray today = QDate::currentDate().toString(QStringLiteral("yyyy.MM.dd")).toUtf8();
        const CtlResult r = ctl({"records", "add", QByteArray("cnum=") + number, QByteArray("cemskind=") + kind,
                                 QByteArray("cdes=") + destination, "creceiver=王五", "cphone=01066668888",
                                 "creceiveraddr=某区某路1号", QByteArray("fweight=") + kg, QByteArray("ffee=") + fee,
                                 QByteArray("npayway=") + payWay, "ddate=" + today});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
    }
    QJsonObject report(bool login, const QByteArray &date = QByteArray()) const
    {
        QList<QByteArray> args{"report", "day", "--json"};
        if (!date.isEmpty())
            args << "--date" << date;
        const CtlResult r = ctl(args, login);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        return QJsonDocument::fromJson(r.out).object();
    }
    TempRoot root;
};

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

TEST(DayReportCommands, TheDayAsJsonBeforeAndAfterTheUploadAndComparedWithTheServer)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    Counter c(server);

    QJsonObject day = c.report(false);
    EXPECT_EQ(day[QStringLiteral("date")].toString(), QDate::currentDate().toString(Qt::ISODate));
    EXPECT_EQ(day[QStringLiteral("shipments")].toInt(), 3);
    EXPECT_EQ(day[QStringLiteral("local")].toInt(), 3);
    EXPECT_EQ(day[QStringLiteral("uploaded")].toInt(), 0);
    EXPECT_FALSE(day.contains(QStringLiteral("server")));

    const CtlResult up = c.ctl({"upload", "--all"}, true);
    ASSERT_EQ(up.code, 0) << up.err.toStdString();
    day = c.report(true);
    EXPECT_EQ(day[QStringLiteral("shipments")].toInt(), 3);
    EXPECT_EQ(day[QStringLiteral("uploaded")].toInt(), 3);
    EXPECT_EQ(day[QStringLiteral("local")].toInt(), 0);
    EXPECT_EQ(day[QStringLiteral("pieces")].toInt(), 3);
    EXPECT_DOUBLE_EQ(day[QStringLiteral("weight_kg")].toDouble(), 4.5);
    EXPECT_DOUBLE_EQ(day[QStringLiteral("freight")].toDouble(), 62.0);
    const QJsonObject cash = day[QStringLiteral("by_payway")].toObject()[QStringLiteral("现付")].toObject();
    EXPECT_EQ(cash[QStringLiteral("count")].toInt(), 2);
    EXPECT_DOUBLE_EQ(cash[QStringLiteral("freight")].toDouble(), 50.0);
    const QJsonObject economy = day[QStringLiteral("by_kind")].toObject()[QStringLiteral("经济快递")].toObject();
    EXPECT_DOUBLE_EQ(economy[QStringLiteral("weight_kg")].toDouble(), 0.75);
    QStringList numbers;
    for (const QJsonValue s : day[QStringLiteral("list")].toArray())
        numbers << s.toObject()[QStringLiteral("number")].toString();
    EXPECT_EQ(numbers, (QStringList{QStringLiteral("E2E0001"), QStringLiteral("E2E0002"), QStringLiteral("E2E0003")}));
    const QJsonObject onServer = day[QStringLiteral("server")].toObject();
    EXPECT_TRUE(onServer[QStringLiteral("missing_on_server")].toArray().isEmpty());
    for (const QJsonValue n : onServer[QStringLiteral("unknown_locally")].toArray())
        EXPECT_FALSE(n.toString().startsWith(QStringLiteral("E2E"))) << "every upload of ours is in the ledger";
    EXPECT_GE(onServer[QStringLiteral("count")].toInt(), 3);

    // Another day has nothing; a date that is no date is a usage error.
    EXPECT_EQ(c.report(false, "2020-01-01")[QStringLiteral("shipments")].toInt(), 0);
    EXPECT_EQ(c.ctl({"report", "day", "--date", "2020-13-45"}).code, 2);
}

TEST(DayReportCommands, TheManifestListsTheDaysUploadsWithTotalsAndSignatures)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    Counter c(server);
    ASSERT_TRUE(PrintDestination::Folder(c.root.file(QStringLiteral("printed"))).Save(c.root.path()));
    const CtlResult none = c.ctl({"print", "manifest"});
    EXPECT_EQ(none.code, 1) << "nothing uploaded yet";
    EXPECT_TRUE(none.err.contains("没有已上传的快件")) << none.err.toStdString();
    ASSERT_EQ(c.ctl({"upload", "--all"}, true).code, 0);

    const CtlResult printed = c.ctl({"print", "manifest"});
    ASSERT_EQ(printed.code, 0) << printed.err.toStdString();
    const QString pdf = QString::fromUtf8(printed.out).trimmed();
    EXPECT_TRUE(pdf.endsWith(QStringLiteral(".pdf"))) << pdf.toStdString();
    const QString text = pdfText(pdf);
    for (const char *n :
         {"E2E0001", "E2E0002", "E2E0003", "经济快递", "4.500", "交件人(柜台)签字", "收件人(快递员)签字"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(n))) << n << "\n" << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("demo"))) << "the account the day's shipments went under";
    const CtlResult history = c.ctl({"print", "history"});
    EXPECT_TRUE(history.out.contains("交接单\t\t默认交接单\t1\t" + pdf.toUtf8())) << history.out.toStdString();
}
