#include "app/ProgramSettings.h"
#include "preinput/WaybillNumber.h"
#include "support/Quarvelctl.h"
#include "support/TempRoot.h"

#include <QDate>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

CtlResult ctl(const TempRoot &root, const QStringList &rest)
{
    return runQuarvelctl(QStringList{QStringLiteral("--root"), root.path()} + rest);
}

QStringList words(const char *text)
{
    return QString::fromUtf8(text).split(u' ');
}

// prompt.dat as the dialog writes it: UTF-16 little-endian, CR LF after each phrase.
QByteArray promptFile(const QString &text)
{
    QByteArray bytes;
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xff));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

} // namespace

TEST(SettingsCommands, SetIsWhatTheWindowReadsAndTheNextRecordStartsWith)
{
    TempRoot root;
    const CtlResult set = ctl(root, words("settings set program=7 sender=张三 origin=深圳 phone=0755-12345678"));
    ASSERT_EQ(set.code, 0) << set.err.toStdString();
    EXPECT_EQ(set.errText(), QStringLiteral("设置数据已保存。\n"));
    EXPECT_EQ(root.read(QStringLiteral("prgset.dat")).size(), ProgramSettings::kFileSize);

    // A second set changes only what it names.
    ASSERT_EQ(
        ctl(root, {QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("address=福田区\n一号")}).code, 0);
    ProgramSettings saved;
    EXPECT_TRUE(saved.Load(root.file(QStringLiteral("prgset.dat"))).isEmpty());
    EXPECT_EQ(saved.programNumber, 7);
    EXPECT_EQ(saved.senderName, QStringLiteral("张三"));
    EXPECT_EQ(saved.address, QStringLiteral("福田区\n一号"));

    const CtlResult shown = ctl(root, words("settings show"));
    ASSERT_EQ(shown.code, 0);
    const QString text = QString::fromUtf8(shown.out);
    EXPECT_TRUE(text.startsWith(QStringLiteral("program=7\norigin=深圳\nsender=张三\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\naddress=福田区\\n一号\n")));
    const QJsonObject json = QJsonDocument::fromJson(ctl(root, words("settings show --json")).out).object();
    EXPECT_EQ(json.value(QStringLiteral("address")).toString(), QStringLiteral("福田区\n一号"));
    EXPECT_EQ(json.value(QStringLiteral("phone")).toString(), QStringLiteral("0755-12345678"));

    const CtlResult record =
        ctl(root, words("records add creceiver=王五 cphone=13800138000 creceiveraddr=朝阳区建国路1号 "
                        "cdes=北京 creceivercountry=中国 creceiverprov=北京"));
    ASSERT_EQ(record.code, 0) << record.err.toStdString();
    const QJsonObject r =
        QJsonDocument::fromJson(ctl(root, {QStringLiteral("records"), QStringLiteral("show"),
                                           QString::fromLatin1(record.out.trimmed()), QStringLiteral("--json")})
                                    .out)
            .object();
    EXPECT_EQ(r.value(QStringLiteral("csender")).toString(), QStringLiteral("张三"));
    EXPECT_EQ(r.value(QStringLiteral("cfrom")).toString(), QStringLiteral("深圳"));
    EXPECT_EQ(r.value(QStringLiteral("cnum")).toString(), MakeWaybillNumber(QDate::currentDate(), 1, 7, 0))
        << "the program number is one digit of the numbers the counter gives";
}

TEST(SettingsCommands, WhatTheBoxesWouldNotTakeIsRefusedAndNothingIsWritten)
{
    TempRoot root;
    ASSERT_EQ(ctl(root, words("settings set program=4 sender=李四")).code, 0);
    const QByteArray before = root.read(QStringLiteral("prgset.dat"));

    const CtlResult twelve = ctl(root, words("settings set sender=王五 program=12"));
    EXPECT_EQ(twelve.code, 1);
    EXPECT_EQ(twelve.errText(), QStringLiteral("程序编号无效：12（0-9,多个客户端时唯一识别号）\n"));
    const CtlResult longSms =
        ctl(root, {QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("sms=") + QString(23, u'1')});
    EXPECT_EQ(longSms.code, 1);
    EXPECT_EQ(longSms.errText(), QStringLiteral("[短信]长度不得超过 22 字符。\n"));
    const CtlResult unknown = ctl(root, words("settings set colour=red"));
    EXPECT_EQ(unknown.code, 2);
    EXPECT_TRUE(unknown.errText().contains(QStringLiteral("\n  settings set NAME=VALUE")));
    EXPECT_EQ(ctl(root, words("settings set")).code, 2);
    EXPECT_EQ(ctl(root, words("settings show --csv")).code, 2);
    EXPECT_EQ(root.read(QStringLiteral("prgset.dat")), before);

    // A settings file that cannot be written is the machine's error.
    TempRoot blocked;
    blocked.write(QStringLiteral("prgset.dat/blocker"), "x");
    const CtlResult failed = ctl(blocked, words("settings set program=1"));
    EXPECT_EQ(failed.code, 2);
    EXPECT_EQ(failed.errText(), QStringLiteral("Open file error !\n"));
}

TEST(PhrasesCommands, AddListAndDeleteAsTheDialogSavesThem)
{
    TempRoot root;
    CtlResult r = ctl(root, words("phrases add 易碎品 请轻放"));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.errText(), QStringLiteral("提示输入信息设置成功。\n"));
    EXPECT_EQ(root.read(QStringLiteral("prompt.dat")), promptFile(QStringLiteral("易碎品\r\n请轻放\r\n")));
    ASSERT_EQ(ctl(root, {QStringLiteral("phrases"), QStringLiteral("add"), QStringLiteral("  勿倒置 ")}).code, 0);
    EXPECT_EQ(ctl(root, words("phrases list")).out, QStringLiteral("易碎品\n请轻放\n勿倒置\n").toUtf8());

    r = ctl(root, words("phrases delete 请轻放"));
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(ctl(root, words("phrases list")).out, QStringLiteral("易碎品\n勿倒置\n").toUtf8());

    const QByteArray before = root.read(QStringLiteral("prompt.dat"));
    r = ctl(root, words("phrases delete 请轻放"));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.errText(), QStringLiteral("没有这条常用短语：请轻放\n"));
    r = ctl(root, {QStringLiteral("phrases"), QStringLiteral("add"), QStringLiteral("好"), QStringLiteral(" ")});
    EXPECT_EQ(r.code, 1) << "an empty phrase would end the list";
    EXPECT_EQ(r.errText(), QStringLiteral("常用短语不能为空。\n"));
    r = ctl(root, {QStringLiteral("phrases"), QStringLiteral("add"), QStringLiteral("上\n下")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(root.read(QStringLiteral("prompt.dat")), before) << "a refusal writes nothing, not even the good phrase";
    EXPECT_EQ(ctl(root, words("phrases add")).code, 2);
    EXPECT_EQ(ctl(root, words("phrases list all")).code, 2);
    EXPECT_EQ(ctl(root, words("phrases sort")).code, 2);

    TempRoot blocked;
    blocked.write(QStringLiteral("prompt.dat/blocker"), "x");
    r = ctl(blocked, words("phrases add 易碎品"));
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.errText(),
              QStringLiteral("提示输入信息未能保存：无法写入%1。\n").arg(blocked.file(QStringLiteral("prompt.dat"))));
}
