#include "support/FailingDisk.h"
#include "support/Quarvelctl.h"
#include "support/TempRoot.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

const QStringList kShipment{QStringLiteral("records"),
                            QStringLiteral("add"),
                            QStringLiteral("creceiver=王五"),
                            QStringLiteral("cphone=13800138000"),
                            QStringLiteral("creceiveraddr=朝阳区建国路1号"),
                            QStringLiteral("creceivercountry=中国"),
                            QStringLiteral("creceiverprov=北京"),
                            QStringLiteral("goods=茶叶:2:5"),
                            QStringLiteral("piece=30:20:10:1500:100")};

// quarvelctl on a root whose disk fails as `faults` says (see tests/iofault).
CtlResult failing(const TempRoot &root, const QString &faults, const QStringList &args)
{
    QProcess p;
    p.setProcessEnvironment(failingDiskEnvironment(root.path(), faults));
    p.start(QStringLiteral(QUARVELCTL_PATH), QStringList{QStringLiteral("--root"), root.path()} + args);
    p.waitForFinished(60000);
    CtlResult r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

CtlResult ctl(const TempRoot &root, const QStringList &args)
{
    return runQuarvelctl(QStringList{QStringLiteral("--root"), root.path()} + args);
}

QByteArray digest(const TempRoot &root, const QString &file)
{
    return QCryptographicHash::hash(root.read(file), QCryptographicHash::Md5).toHex();
}

} // namespace

TEST(DiskFaults, ASaveThatDoesNotReachTheDiskIsRefusedAndLeavesNothing)
{
    TempRoot root;
    ASSERT_EQ(ctl(root, kShipment).code, 0);
    // The flush of the record, of its goods or of its pieces fails.
    for (int call = 1; call <= 3; ++call) {
        const CtlResult r = failing(root, QStringLiteral("msync:%1:EIO").arg(call), kShipment);
        EXPECT_EQ(r.code, 2) << call << r.errText().toStdString();
        EXPECT_TRUE(r.errText().contains(QStringLiteral("业务记录保存失败："))) << r.errText().toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << "no id is said saved";
    }
    const CtlResult scan = failing(root, QStringLiteral("msync:1+:EIO"),
                                   {QStringLiteral("scans"), QStringLiteral("add"), QStringLiteral("num=D1010000009")});
    EXPECT_EQ(scan.code, 2) << scan.errText().toStdString();
    const CtlResult contact = failing(root, QStringLiteral("msync:1+:EIO"),
                                      {QStringLiteral("contacts"), QStringLiteral("add"), QStringLiteral("cname=张三"),
                                       QStringLiteral("caddr=北京市朝阳区建国路1号")});
    EXPECT_EQ(contact.code, 2) << contact.errText().toStdString();

    // The next start opens cleanly with the one shipment saved before, whole.
    const CtlResult list = ctl(root, {QStringLiteral("records"), QStringLiteral("list"), QStringLiteral("--json")});
    ASSERT_EQ(list.code, 0) << list.errText().toStdString();
    EXPECT_EQ(list.out.count("\"iid\""), 1) << list.out.toStdString();
    EXPECT_TRUE(list.errText().isEmpty()) << "nothing to repair: " << list.errText().toStdString();
    const CtlResult shown = ctl(root, {QStringLiteral("records"), QStringLiteral("show"), QStringLiteral("1")});
    EXPECT_TRUE(shown.out.contains(QStringLiteral("茶叶").toUtf8())) << shown.out.toStdString();
    EXPECT_EQ(ctl(root, {QStringLiteral("scans"), QStringLiteral("list")}).out, QByteArray());
    EXPECT_EQ(ctl(root, {QStringLiteral("contacts"), QStringLiteral("list")}).out, QByteArray());
}

TEST(DiskFaults, ASettingsFileIsReplacedWholeOrNotAtAll)
{
    TempRoot root;
    ASSERT_EQ(ctl(root, {QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("sender=张三")}).code, 0);
    ASSERT_EQ(ctl(root, {QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("host"),
                         QStringLiteral("127.0.0.1:8080")})
                  .code,
              0);
    const QByteArray settings = digest(root, QStringLiteral("prgset.dat"));
    const QByteArray config = digest(root, QStringLiteral("DATA_SYS/server.cfg"));
    for (const char *faults : {"write:1+:ENOSPC", "write:1+:short", "fdatasync:1:EIO", "rename:1:EIO"}) {
        const CtlResult set =
            failing(root, QString::fromLatin1(faults),
                    {QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("sender=李四")});
        EXPECT_EQ(set.code, 2) << faults << set.errText().toStdString();
        EXPECT_EQ(digest(root, QStringLiteral("prgset.dat")), settings) << faults;
        const CtlResult host = failing(root, QString::fromLatin1(faults),
                                       {QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("host"),
                                        QStringLiteral("127.0.0.1:9090")});
        EXPECT_NE(host.code, 0) << faults;
        EXPECT_EQ(digest(root, QStringLiteral("DATA_SYS/server.cfg")), config) << faults;
    }
    EXPECT_EQ(QDir(root.path()).entryList({QStringLiteral("*.new-*")}), QStringList()) << "no half-written file stays";
    const CtlResult shown = ctl(root, {QStringLiteral("settings"), QStringLiteral("show")});
    EXPECT_TRUE(shown.out.contains(QStringLiteral("sender=张三").toUtf8())) << shown.out.toStdString();
    EXPECT_TRUE(shown.errText().isEmpty()) << shown.errText().toStdString();
}

// An import that fills the disk: the file cannot grow past the room it had,
// the import stops there and says at which row, why, and how many rows it
// kept; those are whole, and the next start opens cleanly.
TEST(DiskFaults, AnImportThatFillsTheDiskSaysWhereAndWhyAndKeepsWhatItWrote)
{
    TempRoot root;
    QByteArray sheet = QStringLiteral("编码,姓名,电话,地址\r\n").toUtf8();
    for (int i = 1; i <= 250; ++i)
        sheet +=
            QStringLiteral(",客户%1,0208888%2,广州市天河路%1号\r\n").arg(i).arg(i, 4, 10, QLatin1Char('0')).toUtf8();
    root.write(QStringLiteral("in/客户.csv"), sheet);
    // The five record files are made at the start; every later growth fails.
    const CtlResult r =
        failing(root, QStringLiteral("fallocate:6+:ENOSPC"),
                {QStringLiteral("contacts"), QStringLiteral("import"), root.file(QStringLiteral("in/客户.csv"))});
    EXPECT_EQ(r.code, 2) << r.errText().toStdString();
    EXPECT_TRUE(r.errText().startsWith(QStringLiteral("第202行写入失败:数据文件%1无法扩大，记录没有写入：磁盘已满。\n"
                                                      "此前写入的200条名录已保存。")
                                           .arg(root.file(QStringLiteral("DATA/rsdata.dat")))))
        << r.errText().toStdString();

    const CtlResult list = ctl(root, {QStringLiteral("contacts"), QStringLiteral("list")});
    EXPECT_EQ(list.code, 0);
    EXPECT_EQ(list.out.count('\n'), 200);
    EXPECT_TRUE(list.errText().isEmpty()) << list.errText().toStdString();

    // A flush that fails ends the import non-zero too: its rows are not surely on the disk.
    root.write(QStringLiteral("in/更多.csv"), QStringLiteral("编码,姓名,电话,地址\r\n,新客户,020,广州\r\n").toUtf8());
    const CtlResult unflushed =
        failing(root, QStringLiteral("msync:1+:EIO"),
                {QStringLiteral("contacts"), QStringLiteral("import"), root.file(QStringLiteral("in/更多.csv"))});
    EXPECT_EQ(unflushed.code, 2);
    EXPECT_TRUE(unflushed.errText().contains(QStringLiteral("没能确认写到磁盘上：数据文件%1没能写到磁盘上：")
                                                 .arg(root.file(QStringLiteral("DATA/rsdata.dat")))))
        << unflushed.errText().toStdString();
}
