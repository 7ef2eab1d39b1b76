#include "storage/PreInputFile.h"
#include "support/Quarvelctl.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace quarvel;

TEST(RecordsList, ListsEveryFieldAsJsonBesideARunningWriter)
{
    TempRoot root;
    QDir().mkpath(root.file(QStringLiteral("DATA")));
    PreInputFile file;
    ASSERT_EQ(file.OpenRecords(root.file(QStringLiteral("DATA/recinput.dat"))), 0);
    PreInputRecord r{};
    r.ddate = {2026, 3, 9};
    r.iprice = 150;
    r.fweight = 2.5;
    r.nmarked = 1;
    r.ngoodslines = 2;
    Gbk::setField(r.cnum, QStringLiteral("0123456"));
    Gbk::setField(r.creceiver, QStringLiteral("王五"));
    file.Append(&r);
    file.Append(&r);
    file.Flush();

    const CtlResult run = runQuarvelctl({QStringLiteral("--root"), root.path(), QStringLiteral("records"),
                                         QStringLiteral("list"), QStringLiteral("--json")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QJsonArray all = QJsonDocument::fromJson(run.out).array();
    ASSERT_EQ(all.size(), 2);
    const QJsonObject first = all.at(0).toObject();
    EXPECT_EQ(first.value(QStringLiteral("iid")).toInt(), 1);
    EXPECT_EQ(all.at(1).toObject().value(QStringLiteral("iid")).toInt(), 2);
    EXPECT_EQ(first.value(QStringLiteral("ddate")).toString(), QStringLiteral("2026.03.09"));
    EXPECT_EQ(first.value(QStringLiteral("iprice")).toInt(), 150);
    EXPECT_DOUBLE_EQ(first.value(QStringLiteral("fweight")).toDouble(), 2.5);
    EXPECT_EQ(first.value(QStringLiteral("cnum")).toString(), QStringLiteral("0123456"));
    EXPECT_EQ(first.value(QStringLiteral("creceiver")).toString(), QStringLiteral("王五"));
    EXPECT_EQ(first.value(QStringLiteral("ngoodslines")).toInt(), 2);
    EXPECT_EQ(first.value(QStringLiteral("nweightlines")).toInt(), 0);
    EXPECT_EQ(first.keys().size(), int(PreInputRecord::fields().size()));
}

TEST(RecordsList, ExitCodesForUsageAndUnopenableFiles)
{
    TempRoot root;
    EXPECT_EQ(runQuarvelctl({}).code, 2);
    EXPECT_EQ(runQuarvelctl({QStringLiteral("--root"), root.path(), QStringLiteral("nonsense")}).code, 2);
    const CtlResult empty = runQuarvelctl({QStringLiteral("--root"), root.path(), QStringLiteral("records"),
                                           QStringLiteral("list"), QStringLiteral("--json")});
    EXPECT_EQ(empty.code, 0);
    EXPECT_EQ(QJsonDocument::fromJson(empty.out).array().size(), 0);

    root.write(QStringLiteral("DATA/recinput.dat"), QByteArray(10, '\x7f'));
    const CtlResult damaged = runQuarvelctl({QStringLiteral("--root"), root.path(), QStringLiteral("records"),
                                             QStringLiteral("list"), QStringLiteral("--json")});
    EXPECT_EQ(damaged.code, 2);
    EXPECT_TRUE(QString::fromUtf8(damaged.err).startsWith(QStringLiteral("预录业务数据文件已损坏")));
}
