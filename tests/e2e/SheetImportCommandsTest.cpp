#include "core/preinput/PreInputFixture.h"
#include "support/Quarvelctl.h"
#include "support/TempRoot.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <csignal>

namespace {

QStringList args(const TempRoot &root, const QStringList &rest)
{
    return QStringList{QStringLiteral("--root"), root.path()} + rest;
}

CtlResult ctl(const TempRoot &root, const QStringList &rest)
{
    return runQuarvelctl(args(root, rest));
}

QJsonArray records(const TempRoot &root, QByteArray *err = nullptr)
{
    const CtlResult r = ctl(root, {QStringLiteral("records"), QStringLiteral("list"), QStringLiteral("--json")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    if (err)
        *err = r.err;
    return QJsonDocument::fromJson(r.out).array();
}

// The installation's base data as the server sends it (the fixture's, stored as downloaded).
void storeBaseData(TempRoot &root)
{
    QByteArray base = PreInputFixture::baseText(false);
    for (char &c : base)
        c = char(c ^ 8);
    root.write(QStringLiteral("DATA_SYS/0.dat"), base);
}

// The number of records the file's header counts.
int countedRecords(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = file.read(4);
    if (head.size() < 4)
        return 0;
    return int(quint8(head[0]) | quint8(head[1]) << 8 | quint8(head[2]) << 16 | quint32(quint8(head[3])) << 24);
}

} // namespace

// A shop export whose columns the import does not know by itself: refused
// with the columns it lacks and how to name them, taken with --map, and the
// next sheet of the same layout needs no --map. A dry run keeps no map.
TEST(SheetImportCommands, AMapGivenOnTheCommandLineIsKeptForTheLayout)
{
    TempRoot root;
    storeBaseData(root);
    const QString header = QStringLiteral("订单号,收货人,联系手机,收货地址,目的城市\r\n");
    root.write(QStringLiteral("三月.csv"),
               (header + QStringLiteral("SP0000001,张三,13800138000,朝阳区建国路1号,北京\r\n")).toUtf8());
    root.write(QStringLiteral("四月.csv"),
               (header + QStringLiteral("SP0000002,李四,13900000000,南山区科技园,深圳\r\n")).toUtf8());
    const QString march = root.file(QStringLiteral("三月.csv"));
    const QString april = root.file(QStringLiteral("四月.csv"));

    CtlResult r = ctl(root, {QStringLiteral("records"), QStringLiteral("import"), march});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.errText(), QStringLiteral("缺少基本数据,不能导入!\n基本数据为:\n运单号\n目的地\n"
                                          "工作表“三月”第1行是表头,其中没有:运单号。\n"
                                          "可以用 --map \"表头=字段,...\" 指出哪一列是运单号。\n"));

    const QString map = QStringLiteral("订单号=运单号,联系手机=收件电话");
    r = ctl(root, {QStringLiteral("records"), QStringLiteral("import"), march, QStringLiteral("--dry-run"),
                   QStringLiteral("--map"), map});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("本次导入共成功写入1条预录单记录。").toUtf8())) << r.out.toStdString();
    EXPECT_EQ(ctl(root, {QStringLiteral("records"), QStringLiteral("import"), april}).code, 1);

    r = ctl(root, {QStringLiteral("records"), QStringLiteral("import"), march, QStringLiteral("--map"), map});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    r = ctl(root, {QStringLiteral("records"), QStringLiteral("import"), april});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonArray all = records(root);
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[1][QStringLiteral("cnum")].toString(), QStringLiteral("SP0000002"));
    EXPECT_EQ(all[1][QStringLiteral("cphone")].toString(), QStringLiteral("13900000000"));
    EXPECT_EQ(all[1][QStringLiteral("cdes")].toString(), QStringLiteral("广东深圳"));
    EXPECT_EQ(all[1][QStringLiteral("nlocked")].toInt(), 0);

    r = ctl(root, {QStringLiteral("contacts"), QStringLiteral("import"), march, QStringLiteral("--map"),
                   QStringLiteral("联系手机=火箭")});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.errText().contains(QStringLiteral("contacts import: --map: 没有字段“火箭”。")))
        << r.err.toStdString();
}

TEST(SheetImportCommands, AFileNoFormatReadsIsNamedWithTheFormatsTried)
{
    TempRoot root;
    root.write(QStringLiteral("订单.xls"), QByteArray("%PDF-1.4\n\x01\x02\x03\xFF\xFE binary"));
    const CtlResult r =
        ctl(root, {QStringLiteral("contacts"), QStringLiteral("import"), root.file(QStringLiteral("订单.xls"))});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.errText().startsWith(QStringLiteral("文件打开失败:\n") + root.file(QStringLiteral("订单.xls"))))
        << r.err.toStdString();
    EXPECT_TRUE(r.errText().contains(QStringLiteral("已尝试的格式:"))) << r.err.toStdString();
}

// A kill in the middle of an import leaves whole records only; the next
// start says nothing about it, and the same sheet again brings the rest
// without a record twice.
TEST(SheetImportCommands, AKillDuringAnImportLeavesWholeRecordsAndTheSameSheetFinishesIt)
{
    TempRoot root;
    storeBaseData(root);
    constexpr int kRows = 20000;
    QByteArray sheet = QStringLiteral("运单号,目的地,收件人,收件电话,收件地址,重量\r\n").toUtf8();
    for (int i = 1; i <= kRows; ++i)
        sheet += QStringLiteral("KL%1,北京,收件人%2,138%3,朝阳区%2号,%4\r\n")
                     .arg(i, 7, 10, QLatin1Char('0'))
                     .arg(i)
                     .arg(i, 8, 10, QLatin1Char('0'))
                     .arg(i % 50 + 1)
                     .toUtf8();
    root.write(QStringLiteral("大批.csv"), sheet);
    const QString path = root.file(QStringLiteral("大批.csv"));
    const QString file = root.file(QStringLiteral("DATA/recinput.dat"));

    QProcess p;
    p.start(QStringLiteral(QUARVELCTL_PATH), args(root, {QStringLiteral("records"), QStringLiteral("import"), path}));
    ASSERT_TRUE(p.waitForStarted());
    QElapsedTimer timer;
    timer.start();
    while (countedRecords(file) < 2000 && timer.elapsed() < 120000 && p.state() == QProcess::Running)
        QThread::msleep(2);
    ASSERT_EQ(p.state(), QProcess::Running) << "the import ended before it could be killed";
    ::kill(pid_t(p.processId()), SIGKILL);
    p.waitForFinished();

    QByteArray err;
    const QJsonArray left = records(root, &err);
    EXPECT_TRUE(err.isEmpty()) << err.toStdString();
    ASSERT_GE(left.size(), 2000);
    ASSERT_LT(left.size(), kRows);
    for (int i = 0; i < left.size(); ++i) {
        const QJsonObject r = left[i].toObject();
        ASSERT_EQ(r[QStringLiteral("cnum")].toString(), QStringLiteral("KL%1").arg(i + 1, 7, 10, QLatin1Char('0')));
        ASSERT_EQ(r[QStringLiteral("creceiver")].toString(), QStringLiteral("收件人%1").arg(i + 1));
        ASSERT_EQ(r[QStringLiteral("cdes")].toString(), QStringLiteral("北京市"));
    }

    const CtlResult again = ctl(root, {QStringLiteral("records"), QStringLiteral("import"), path});
    EXPECT_EQ(again.code, 0) << again.err.toStdString();
    EXPECT_TRUE(again.err.isEmpty()) << again.err.toStdString();
    EXPECT_TRUE(again.out.startsWith(
        QStringLiteral(
            "本次导入共成功写入%1条预录单记录。表中数据%2行(第2行至第%3行):完整写入%1条,不完整写入0条,跳过%4行")
            .arg(kRows - left.size())
            .arg(kRows)
            .arg(kRows + 1)
            .arg(left.size())
            .toUtf8()))
        << again.out.left(300).toStdString();
    EXPECT_EQ(countedRecords(file), kRows);
}
