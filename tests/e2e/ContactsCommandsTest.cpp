#include "core/preinput/PreInputFixture.h"
#include "support/Quarvelctl.h"
#include "support/TempRoot.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>

namespace {

QStringList args(const TempRoot &root, const QStringList &rest)
{
    return QStringList{QStringLiteral("--root"), root.path()} + rest;
}

CtlResult ctl(const TempRoot &root, const QStringList &rest)
{
    return runQuarvelctl(args(root, rest));
}

QJsonArray contacts(const TempRoot &root)
{
    const CtlResult r = ctl(root, {QStringLiteral("contacts"), QStringLiteral("list"), QStringLiteral("--json")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    return QJsonDocument::fromJson(r.out).array();
}

// The workbook as xlrd reads it.
QJsonObject readXls(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(QUARVEL_SOURCE_DIR "/tests/office/xls_probe.py"), QStringLiteral("--values-only"), path});
    p.waitForFinished(60000);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

} // namespace

TEST(ContactsCommands, AddGoesThroughThePageChecksThenListShowAndDelete)
{
    TempRoot root;
    CtlResult r = ctl(root, {QStringLiteral("contacts"), QStringLiteral("add"), QStringLiteral("cname=张三"),
                             QStringLiteral("caddr=北京")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.errText(), QStringLiteral("[详细地址]不得短于 5 字符。\n"));

    r = ctl(root, {QStringLiteral("contacts"), QStringLiteral("add"), QStringLiteral("cname=张三"),
                   QStringLiteral("caddr=北京市朝阳区建国路1号"), QStringLiteral("cphone=010-88886666"),
                   QStringLiteral("ccode=ZS"), QStringLiteral("cremark=老客户")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "1\n");
    r = ctl(root, {QStringLiteral("contacts"), QStringLiteral("add"), QStringLiteral("cname=李四"),
                   QStringLiteral("caddr=上海市黄浦区南京路2号"), QStringLiteral("cphone=010-88886666")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.errText(), QStringLiteral("相同电话号码的记录已经存在。\n"));
    r = ctl(root, {QStringLiteral("contacts"), QStringLiteral("add"), QStringLiteral("cname=李四"),
                   QStringLiteral("caddr=上海市黄浦区南京路2号")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    r = ctl(root, {QStringLiteral("contacts"), QStringLiteral("add"), QStringLiteral("nickname=x")});
    EXPECT_EQ(r.code, 2);

    const QJsonArray all = contacts(root);
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0][QStringLiteral("ccode")].toString(), QStringLiteral("zs"));
    EXPECT_EQ(all[1][QStringLiteral("ccode")].toString(), QStringLiteral("ls"));
    EXPECT_EQ(all[1][QStringLiteral("iid")].toInt(), 2);

    r = ctl(root, {QStringLiteral("contacts"), QStringLiteral("show"), QStringLiteral("1"), QStringLiteral("--json")});
    ASSERT_EQ(r.code, 0);
    const QJsonObject one = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(one[QStringLiteral("cname")].toString(), QStringLiteral("张三"));
    EXPECT_EQ(one[QStringLiteral("cremark")].toString(), QStringLiteral("老客户"));
    r = ctl(root, {QStringLiteral("contacts"), QStringLiteral("show"), QStringLiteral("9")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.errText(), QStringLiteral("名录记录9不存在。\n"));

    r = ctl(root, {QStringLiteral("contacts"), QStringLiteral("delete"), QStringLiteral("1")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    ASSERT_EQ(contacts(root).size(), 1);
    EXPECT_EQ(contacts(root)[0][QStringLiteral("cname")].toString(), QStringLiteral("李四"));
}

TEST(ContactsCommands, ImportPrintsTheCountThenEverySkippedRowAndDryRunWritesNothing)
{
    TempRoot root;
    root.write(QStringLiteral("客户.csv"), QStringLiteral("编码,姓名,电话,地址\r\n"
                                                          ",张三,02088886666,广州市天河区天河路100号\r\n"
                                                          ",赵四,0755123,深圳市南山区科技园\r\n"
                                                          ",张三,111,北京市朝阳区\r\n"
                                                          "X1,王五,,上海市\r\n")
                                               .toUtf8());
    const QString sheet = root.file(QStringLiteral("客户.csv"));
    const QByteArray expected = QStringLiteral("本次导入共成功写入2条名录。表中数据4行(第2行至第5行):完整写入2条,"
                                               "不完整写入0条,跳过2行,空行0行。\n"
                                               "4\t张三\t与表中第2行同名\n"
                                               "5\t王五\t缺少电话\n")
                                    .toUtf8();
    CtlResult r = ctl(root, {QStringLiteral("contacts"), QStringLiteral("import"), sheet, QStringLiteral("--dry-run")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, expected);
    EXPECT_TRUE(contacts(root).isEmpty());

    r = ctl(root, {QStringLiteral("contacts"), QStringLiteral("import"), sheet});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, expected);
    const QJsonArray all = contacts(root);
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0][QStringLiteral("ccode")].toString(), QStringLiteral("zs"));
    EXPECT_EQ(all[1][QStringLiteral("ccode")].toString(), QStringLiteral("zs0"));
    EXPECT_EQ(all[1][QStringLiteral("cphone")].toString(), QStringLiteral("0755123"));

    root.write(QStringLiteral("坏.csv"), QStringLiteral("姓名,电话\r\n张三,1\r\n").toUtf8());
    r = ctl(root, {QStringLiteral("contacts"), QStringLiteral("import"), root.file(QStringLiteral("坏.csv"))});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.errText(), QStringLiteral("缺少基本数据,不能导入!\n基本数据为:\n姓名\n电话\n地址\n"
                                          "工作表“坏”第1行是表头,其中没有:地址。\n"
                                          "可以用 --map \"表头=字段,...\" 指出哪一列是地址。\n"));
}

TEST(ContactsCommands, RecordsImportReportsIncompleteRowsAndHeaderSheetsGoWhereAsked)
{
    TempRoot root;
    root.write(QStringLiteral("预录.csv"), QStringLiteral("运单号,目的地,收件人,收件电话,收件地址\r\n"
                                                          "ab0000001,北京,王五,13800138000,朝阳区建国路1号\r\n"
                                                          "AB0000002,上海,,13900000000,黄浦区南京路2号\r\n"
                                                          "AB0000001,广州,赵六,13700000000,天河区\r\n")
                                               .toUtf8());
    QByteArray base = PreInputFixture::baseText(false);
    for (char &c : base)
        c = char(c ^ 8);
    root.write(QStringLiteral("DATA_SYS/0.dat"), base);
    const QString sheet = root.file(QStringLiteral("预录.csv"));
    const QByteArray expected = QStringLiteral("本次导入共成功写入2条预录单记录。表中数据3行(第2行至第4行):"
                                               "完整写入1条,不完整写入1条,跳过1行,空行0行。\n"
                                               "3\tAB0000002\t收件人为空、目的地“上海”不在基本数据中,"
                                               "已锁定,改正后才会上传。\n"
                                               "4\tAB0000001\t与表中第2行运单号相同\n")
                                    .toUtf8();
    CtlResult r = ctl(root, {QStringLiteral("records"), QStringLiteral("import"), sheet, QStringLiteral("--dry-run")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, expected);
    r = ctl(root, {QStringLiteral("records"), QStringLiteral("list")});
    EXPECT_TRUE(r.out.isEmpty());

    r = ctl(root, {QStringLiteral("records"), QStringLiteral("import"), sheet});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, expected);
    r = ctl(root, {QStringLiteral("records"), QStringLiteral("show"), QStringLiteral("2"), QStringLiteral("--json")});
    const QJsonObject second = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(second[QStringLiteral("cnum")].toString(), QStringLiteral("AB0000002"));
    EXPECT_EQ(second[QStringLiteral("nlocked")].toInt(), 1);
    EXPECT_EQ(second[QStringLiteral("cemskind")].toString(), QStringLiteral("特快专递"));

    // Header sheets: the given path, then the default place (the desktop).
    const QString path = root.file(QStringLiteral("头.xls"));
    r = ctl(root, {QStringLiteral("records"), QStringLiteral("export-header"), path});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, (path + u'\n').toUtf8());
    QJsonObject book = readXls(path);
    EXPECT_EQ(book[QStringLiteral("columns")].toInt(), 44);
    EXPECT_EQ(book[QStringLiteral("cells")].toObject()[QStringLiteral("AR1")].toObject()[QStringLiteral("value")],
              QStringLiteral("收件地址3"));

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), root.path());
    QDir(root.path()).mkpath(QStringLiteral("Desktop"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QUARVELCTL_PATH), args(root, {QStringLiteral("contacts"), QStringLiteral("export-header")}));
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QString desktop = root.file(QStringLiteral("Desktop/名录格式.xls"));
    EXPECT_EQ(p.readAllStandardOutput(), (desktop + u'\n').toUtf8());
    book = readXls(desktop);
    EXPECT_EQ(book[QStringLiteral("sheets")].toArray().first().toString(), QStringLiteral("名录格式"));
    EXPECT_EQ(book[QStringLiteral("columns")].toInt(), 11);
}
