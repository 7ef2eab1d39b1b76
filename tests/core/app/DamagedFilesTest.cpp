#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "net/LastAccount.h"
#include "support/TempRoot.h"
#include "text/Utf16Le.h"

using namespace quarvel;

namespace {

// The texts shown that name `file`.
QStringList naming(const ScriptedPrompter &p, const QString &file)
{
    QStringList found;
    for (const ScriptedPrompter::Shown &s : p.shown())
        if (s.text.contains(file))
            found << s.text;
    return found;
}

} // namespace

TEST(DamagedFiles, EachIsReportedOnceByNameAndTheStartGoesOn)
{
    TempRoot root;
    QByteArray settings(1364, '\0');
    settings[0] = 3;
    root.write(QStringLiteral("prgset.dat"), settings.left(1363));
    root.write(QStringLiteral("prompt.dat"), Utf16Le::Encode(QStringLiteral("第一句\r\n")) + "x");
    root.write(QStringLiteral("DATA_SYS/last.dat"), "ab\ncd");
    root.write(QStringLiteral("DATA_SYS/print.conf"), "printer=office\nthis is no setting\n");
    root.write(QStringLiteral("DATA_SYS/0.dat"), QByteArray(40, '\x01'));
    root.write(QStringLiteral("DATA_SYS/server.cfg"), "site=S01\nport=80\n");

    ScriptedPrompter p;
    ClientContext context(root.path());
    ASSERT_TRUE(context.Start(p));
    const struct {
        const char *file;
        QString text;
    } expected[] = {
        {"prgset.dat", QStringLiteral("文件%1已损坏：文件长度是 1363 字节，应为 1364 字节；全部设置已改用默认值。")},
        {"prompt.dat", QStringLiteral("文件%1已损坏：文件长度是奇数（11 字节），不是完整的 UTF-16 文本；"
                                      "最后一个字节已忽略。")},
        {"DATA_SYS/last.dat", QStringLiteral("文件%1已损坏：内容不是有效的账号文字；登录时不预填账号。")},
        {"DATA_SYS/print.conf", QStringLiteral("文件%1已损坏：第 2 行不是设置（应为 printer=... 或 folder=...）")},
        {"DATA_SYS/0.dat", QStringLiteral("文件%1已损坏：找不到快递类别，基本数据不可用；请重新下载基本数据。")},
        {"DATA_SYS/server.cfg", QStringLiteral("文件%1已损坏：第 2 行不是设置（应为 host=... 或 site=...）")},
    };
    for (const auto &e : expected) {
        const QString file = root.file(QString::fromLatin1(e.file));
        const QStringList texts = naming(p, file);
        ASSERT_EQ(texts.size(), 1) << e.file << ": " << p.texts().join(u'|').toStdString();
        EXPECT_EQ(texts.first(), e.text.arg(file)) << e.file;
    }
    EXPECT_EQ(p.shown().size(), 6);
    for (const ScriptedPrompter::Shown &s : p.shown())
        EXPECT_EQ(s.kind, ScriptedPrompter::Kind::Warning) << s.text.toStdString();
    // What could be read is used; the rest keeps its defaults.
    EXPECT_EQ(context.settings().programNumber, 0);
    EXPECT_EQ(context.promptPhrases().phrases(), QStringList{QStringLiteral("第一句")});
    EXPECT_EQ(LoadLastAccount(context.lastAccountPath()), QString());
    EXPECT_EQ(context.session().siteCode(), QStringLiteral("S01"));
}

TEST(DamagedFiles, SoundFilesAreNotReported)
{
    TempRoot root;
    QByteArray settings(1364, '\0');
    settings[0] = 7;
    root.write(QStringLiteral("prgset.dat"), settings);
    root.write(QStringLiteral("prompt.dat"), Utf16Le::Encode(QStringLiteral("第一句\r\n第二句😀\r\n")));
    root.write(QStringLiteral("DATA_SYS/last.dat"), "demo");
    root.write(QStringLiteral("DATA_SYS/print.conf"), "# printing\n\nprinter=\nfolder=DATA_TEMP/pdf\n");
    root.write(QStringLiteral("DATA_SYS/server.cfg"), "# the server\nhost=127.0.0.1:9\r\nsite=S01\n");
    ScriptedPrompter p;
    ClientContext context(root.path());
    ASSERT_TRUE(context.Start(p));
    EXPECT_TRUE(p.shown().isEmpty()) << p.texts().join(u'|').toStdString();
    EXPECT_EQ(context.settings().programNumber, 7);
    EXPECT_EQ(context.promptPhrases().phrases().size(), 2);
    EXPECT_EQ(context.session().configuredHost(), "127.0.0.1:9");
}

TEST(DamagedFiles, AnUnusableHostIsAnErrorAndNoOtherServerTakesItsPlace)
{
    TempRoot root;
    root.write(QStringLiteral("DATA_SYS/server.cfg"), "host=tarvo example.com\nsite=S01\n");
    ScriptedPrompter p;
    ClientContext context(root.path());
    ASSERT_TRUE(context.Start(p)) << "the counter keeps working offline";
    ASSERT_EQ(p.shown().size(), 1);
    EXPECT_EQ(p.shown().first().kind, ScriptedPrompter::Kind::Error);
    EXPECT_EQ(p.lastText(), QStringLiteral("服务器配置文件%1有误：\r\n服务器地址不正确：tarvo example.com\r\n"
                                           "应为主机名或IP地址，可带端口，例如 192.168.1.20:8080。\r\n"
                                           "改正之前不连接任何服务器。")
                                .arg(root.file(QStringLiteral("DATA_SYS/server.cfg"))));
    EXPECT_TRUE(context.session().configuredHost().isEmpty());
    EXPECT_TRUE(context.session().CurrentServerHost().isEmpty());
    EXPECT_EQ(context.config().host(), QString());

    // A host line without its "=" is a broken host line, not a line to skip.
    ServerConfig config(QStringLiteral("/nonexistent"));
    const ServerConfig::Trouble trouble = config.Parse("host 127.0.0.1\nsite=S01\n");
    EXPECT_EQ(trouble.errors, QStringList{QStringLiteral("第 1 行应为 host=...：host 127.0.0.1")});
    EXPECT_TRUE(config.host().isEmpty());
}

TEST(DamagedFiles, ProgramSettingsWithAnUnterminatedFieldOrAWrongNumber)
{
    TempRoot root;
    ProgramSettings sound;
    sound.programNumber = 4;
    sound.senderName = QStringLiteral("张三");
    sound.city = QStringLiteral("北京");
    QByteArray bytes = sound.ToBytes();
    EXPECT_EQ(ProgramSettings::Damage(bytes), QString());
    bytes.replace(132, 64, Utf16Le::Encode(QString(32, u'x')));
    root.write(QStringLiteral("prgset.dat"), bytes);
    ProgramSettings loaded;
    EXPECT_EQ(loaded.Load(root.file(QStringLiteral("prgset.dat"))),
              QStringLiteral("第 132 字节起的一项没有结束符；该项已清空。"));
    EXPECT_EQ(loaded.senderName, QString());
    EXPECT_EQ(loaded.city, QStringLiteral("北京"));
    EXPECT_EQ(loaded.programNumber, 4);

    bytes = sound.ToBytes();
    bytes[0] = 12;
    root.write(QStringLiteral("prgset.dat"), bytes);
    EXPECT_EQ(loaded.Load(root.file(QStringLiteral("prgset.dat"))),
              QStringLiteral("程序编号是 12，不在 0-9 之间；已改用 0。"));
    EXPECT_EQ(loaded.programNumber, 0);
    EXPECT_EQ(loaded.Load(root.file(QStringLiteral("missing.dat"))), QString());
}
