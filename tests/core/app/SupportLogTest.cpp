#include "app/SupportLog.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace quarvel;

TEST(SupportLog, EachEntryIsOneTimestampedLine)
{
    TempRoot root;
    SupportLog log(SupportLog::FolderOf(root.path()));
    ASSERT_TRUE(log.Write(QStringLiteral("message"), QStringLiteral("数据错误: 运单号不能为空!\r\n请重新输入\r\n")));
    log.Message(QStringLiteral("error"), QStringLiteral("错误提示"), QStringLiteral("上传失败"));

    const QStringList lines = QString::fromUtf8(root.read(QStringLiteral("DATA_SYS/log/quarvel.log"))).split(u'\n');
    ASSERT_EQ(lines.size(), 3) << "two lines and the final line feed";
    const QRegularExpression stamp(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\S* \\[\\d+\\] "));
    EXPECT_TRUE(stamp.match(lines.at(0)).hasMatch()) << lines.at(0).toStdString();
    EXPECT_TRUE(lines.at(0).endsWith(QStringLiteral("message: 数据错误: 运单号不能为空! | 请重新输入")));
    EXPECT_TRUE(lines.at(1).endsWith(QStringLiteral("message: error 错误提示: 上传失败")));
    EXPECT_EQ(log.Tail(1), QStringList{lines.at(1)});
    EXPECT_EQ(log.Tail(5), lines.mid(0, 2));
}

TEST(SupportLog, WithoutAFolderNothingIsWritten)
{
    SupportLog log;
    EXPECT_FALSE(log.Write(QStringLiteral("message"), QStringLiteral("text")));
    EXPECT_TRUE(log.Tail(10).isEmpty());
}

TEST(SupportLog, RotatesAtFiveMegabytesAndKeepsFiveFiles)
{
    TempRoot root;
    SupportLog log(SupportLog::FolderOf(root.path()));
    const QString chunk(100 * 1024, u'x');
    // 30 MB in 100 KB lines: six rotations, of which the oldest file goes.
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(log.Write(QStringLiteral("request"), QString::number(i) + u' ' + chunk));

    const QDir folder(log.folder());
    EXPECT_EQ(
        folder.entryList(QDir::Files, QDir::Name),
        (QStringList{QStringLiteral("quarvel.log"), QStringLiteral("quarvel.log.1"), QStringLiteral("quarvel.log.2"),
                     QStringLiteral("quarvel.log.3"), QStringLiteral("quarvel.log.4")}));
    for (const QFileInfo &f : folder.entryInfoList(QDir::Files))
        EXPECT_LE(f.size(), SupportLog::kRotateBytes) << f.fileName().toStdString();
    // The newest line is last in the current file, and the lines run on across the rotation.
    EXPECT_TRUE(log.Tail(1).value(0).contains(QStringLiteral("request: 299 x")));
    const QStringList tail = log.Tail(60);
    ASSERT_EQ(tail.size(), 60);
    for (int i = 0; i < 60; ++i)
        EXPECT_TRUE(tail.at(i).contains(QStringLiteral("request: %1 x").arg(240 + i))) << i;
}

TEST(SupportLog, PasswordsDigestsAndSessionKeysAreNeverWritten)
{
    TempRoot root;
    SupportLog log(SupportLog::FolderOf(root.path()));
    log.Write(QStringLiteral("request"),
              QStringLiteral("GET /cgi-bin/VEdiz.dll?KVLogin&w=S01&ac=demo&md5=0123456789abcdef0123456789abcdef&it=5"));
    log.Write(QStringLiteral("message"), QStringLiteral("password=hunter2 Session-Key: 884422 cookie=ASPSESSION=77"));
    const QString text = QString::fromUtf8(root.read(QStringLiteral("DATA_SYS/log/quarvel.log")));
    for (const char *secret : {"0123456789abcdef", "hunter2", "884422", "77"})
        EXPECT_FALSE(text.contains(QLatin1String(secret))) << secret << " in " << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("ac=demo&md5=***&it=5")));
}
