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
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(IOFAULT_PATH));
    env.insert(QStringLiteral("QUARVEL_IOFAULT"), faults);
    env.insert(QStringLiteral("QUARVEL_IOFAULT_DIR"), root.path());
    // The sanitizers' runtime need not come first for this library.
    env.insert(QStringLiteral("ASAN_OPTIONS"),
               env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":verify_asan_link_order=0"));
    p.setProcessEnvironment(env);
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
