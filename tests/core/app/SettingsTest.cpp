#include "app/ClientContext.h"
#include "app/ProgramSettings.h"
#include "app/PromptPhrases.h"
#include "app/PromptPhrasesForm.h"
#include "app/ScriptedPrompter.h"
#include "app/SettingsFields.h"
#include "app/SettingsForm.h"
#include "support/TempRoot.h"

#include <QFileInfo>
#include <QJsonObject>

using namespace quarvel;

TEST(ProgramSettings, ExactFileLayoutAndSizeRule)
{
    TempRoot root;
    ProgramSettings s;
    s.programNumber = 7;
    s.origin = QStringLiteral("深圳");
    s.senderName = QStringLiteral("张三");
    s.sms = QString(40, u'9'); // longer than its 48 bytes: cut, terminator kept
    s.address = QStringLiteral("福田区\n一号");
    const QString path = root.file(QStringLiteral("prgset.dat"));
    ASSERT_TRUE(s.Save(path));
    const QByteArray bytes = root.read(QStringLiteral("prgset.dat"));
    ASSERT_EQ(bytes.size(), 1364);
    EXPECT_EQ(bytes.left(4), QByteArray("\x07\0\0\0", 4));
    EXPECT_EQ(bytes.mid(4, 6), QByteArray("\xF1\x6D\x33\x57\0\0", 6)); // 深圳 in UTF-16 LE
    EXPECT_EQ(bytes.mid(132, 4), QByteArray("\x20\x5f\x09\x4e", 4));   // 张三
    EXPECT_EQ(bytes.mid(1316 + 46, 2), QByteArray("\0\0", 2));
    EXPECT_EQ(bytes.mid(1316, 2), QByteArray("9\0", 2));

    ProgramSettings back;
    back.Load(path);
    EXPECT_EQ(back.programNumber, 7);
    EXPECT_EQ(back.origin, s.origin);
    EXPECT_EQ(back.address, s.address);
    EXPECT_EQ(back.sms, QString(23, u'9'));

    for (int size : {1363, 1365}) {
        root.write(QStringLiteral("odd.dat"), bytes + QByteArray(size - 1364 > 0 ? 1 : 0, 'x'));
        if (size == 1363)
            root.write(QStringLiteral("odd.dat"), bytes.left(1363));
        ProgramSettings odd;
        odd.Load(root.file(QStringLiteral("odd.dat")));
        EXPECT_EQ(odd.programNumber, 0) << size;
        EXPECT_TRUE(odd.origin.isEmpty()) << size;
    }
    EXPECT_EQ(ProgramSettings::NormalisedProgramNumber(12), 0);
    EXPECT_EQ(ProgramSettings::NormalisedProgramNumber(9), 9);
    EXPECT_EQ(ProgramSettings::NormalisedProgramNumber(-1), 0);
}

TEST(ProgramSettings, FailedSaveSaysSo)
{
    TempRoot root;
    root.write(QStringLiteral("prgset.dat/blocker"), "x"); // a folder where the file should be
    ClientContext context(root.path());
    ScriptedPrompter p;
    EXPECT_FALSE(context.SaveProgramSettings(p));
    EXPECT_EQ(p.lastText(), QStringLiteral("Open file error !"));
}

TEST(PromptPhrases, ParsingStopsAtAnEmptyLineAndSavingDoesNotGrow)
{
    EXPECT_EQ(PromptPhrases::ParsePromptPhrases(QStringLiteral("易碎品\r\n  请轻放\r\n\r\n不要\r\n")),
              (QStringList{QStringLiteral("易碎品"), QStringLiteral("请轻放")}));
    EXPECT_EQ(PromptPhrases::ParsePromptPhrases(QStringLiteral("A\r\nBB")),
              (QStringList{QStringLiteral("A"), QStringLiteral("BB")}));
    EXPECT_TRUE(PromptPhrases::ParsePromptPhrases(QStringLiteral("x")).isEmpty());

    TempRoot root;
    const QString path = root.file(QStringLiteral("prompt.dat"));
    PromptPhrases phrases;
    ASSERT_TRUE(phrases.Save(path, QStringLiteral("易碎品\r\n请轻放\r\n")));
    const QByteArray first = root.read(QStringLiteral("prompt.dat"));
    EXPECT_EQ(first.left(4), QByteArray("\x13\x66\x8e\x78", 4)) << "UTF-16 LE without byte-order mark";
    for (int round = 0; round < 3; ++round) {
        PromptPhrases again;
        again.Load(path);
        ASSERT_TRUE(again.Save(path, PromptPhrases::Join(again.phrases())));
    }
    EXPECT_EQ(root.read(QStringLiteral("prompt.dat")), first);
    PromptPhrases missing;
    missing.Load(root.file(QStringLiteral("none.dat")));
    EXPECT_TRUE(missing.phrases().isEmpty());
}

TEST(SettingsForm, ConfirmKeepsTheNumberToOneDigitCutsTextsToTheirBoxesAndSaves)
{
    TempRoot root;
    ClientContext context(root.path());
    context.settings().city = QStringLiteral("深圳");
    SettingsForm form(context);
    EXPECT_EQ(form.values.city, QStringLiteral("深圳")) << "opens with the settings in force";
    form.values.programNumber = 12;
    form.values.sms = QString(30, u'1');
    form.values.origin = QStringLiteral("广州");
    ScriptedPrompter p;
    ASSERT_TRUE(form.Confirm(p));
    EXPECT_EQ(p.lastText(), QStringLiteral("设置数据已保存。"));

    ProgramSettings saved;
    saved.Load(root.file(QStringLiteral("prgset.dat")));
    EXPECT_EQ(saved.programNumber, 0);
    EXPECT_EQ(saved.sms, QString(22, u'1')) << "the box takes 22 characters";
    EXPECT_EQ(saved.origin, QStringLiteral("广州"));
    EXPECT_EQ(context.settings().origin, QStringLiteral("广州")) << "the next new record starts with it";
}

TEST(SettingsForm, AFileThatCannotBeWrittenIsNotCalledSaved)
{
    TempRoot root;
    root.write(QStringLiteral("prgset.dat/blocker"), "x");
    ClientContext context(root.path());
    SettingsForm form(context);
    ScriptedPrompter p;
    EXPECT_FALSE(form.Confirm(p));
    EXPECT_EQ(p.texts(), QStringList{QStringLiteral("Open file error !")});
}

TEST(SettingsFields, RefuseWhatTheBoxesWouldNotTakeOrWouldChange)
{
    ProgramSettings values;
    QString reason;
    EXPECT_EQ(SettingsFields::Set(values, QStringLiteral("program"), QStringLiteral("12"), reason),
              SettingsFields::Result::BadValue);
    EXPECT_EQ(reason, QStringLiteral("程序编号无效：12（0-9,多个客户端时唯一识别号）"));
    EXPECT_EQ(SettingsFields::Set(values, QStringLiteral("program"), QStringLiteral("x"), reason),
              SettingsFields::Result::BadValue);
    EXPECT_EQ(SettingsFields::Set(values, QStringLiteral("program"), QStringLiteral("9"), reason),
              SettingsFields::Result::Set);
    EXPECT_EQ(values.programNumber, 9);

    EXPECT_EQ(SettingsFields::Set(values, QStringLiteral("sms"), QString(23, u'1'), reason),
              SettingsFields::Result::BadValue);
    EXPECT_EQ(reason, QStringLiteral("[短信]长度不得超过 22 字符。"));
    EXPECT_EQ(SettingsFields::Set(values, QStringLiteral("origin"), QString(64, u'深'), reason),
              SettingsFields::Result::BadValue);
    EXPECT_EQ(reason, QStringLiteral("[出发地]长度不得超过 63 字符。"));
    EXPECT_TRUE(values.sms.isEmpty() && values.origin.isEmpty()) << "a refused value is not taken";
    EXPECT_EQ(SettingsFields::Set(values, QStringLiteral("sender"), QString(30, u'张'), reason),
              SettingsFields::Result::Set);
    EXPECT_EQ(values.senderName, QString(30, u'张'));
    EXPECT_EQ(SettingsFields::Set(values, QStringLiteral("colour"), QStringLiteral("red"), reason),
              SettingsFields::Result::UnknownField);
}

TEST(SettingsFields, ShowWritesOneLineAValueAndJsonKeepsTheAddressExactly)
{
    ProgramSettings values;
    values.programNumber = 3;
    values.address = QStringLiteral("福田区\n一号");
    const QStringList lines = SettingsFields::Show(values).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), SettingsFields::Names().size());
    EXPECT_EQ(lines.first(), QStringLiteral("program=3"));
    EXPECT_TRUE(lines.contains(QStringLiteral("address=福田区\\n一号")));
    const QJsonObject json = SettingsFields::Json(values);
    EXPECT_EQ(json.value(QStringLiteral("address")).toString(), values.address);
    EXPECT_EQ(json.value(QStringLiteral("program")).toInt(), 3);
}

TEST(PromptPhrasesForm, AddAndDeleteKeepOnePhraseALineThatReadsBackTheSame)
{
    TempRoot root;
    ClientContext context(root.path());
    ASSERT_TRUE(context.SavePromptPhrases(QStringLiteral("易碎品\r\n")));
    PromptPhrasesForm form(context);
    EXPECT_EQ(form.text, QStringLiteral("易碎品\n"));

    EXPECT_TRUE(form.Add(QStringLiteral("  请轻放 ")).isEmpty());
    EXPECT_TRUE(form.Add(QStringLiteral("A")).isEmpty()) << "one character is a phrase too";
    EXPECT_EQ(form.Add(QStringLiteral("  ")), QStringLiteral("常用短语不能为空。"));
    EXPECT_EQ(form.Add(QStringLiteral("上\n下")), QStringLiteral("一条常用短语不能换行：上\n下"));
    EXPECT_EQ(form.Delete(QStringLiteral("易碎")), QStringLiteral("没有这条常用短语：易碎"));
    EXPECT_EQ(form.Delete(QString()), QStringLiteral("没有这条常用短语："));
    EXPECT_TRUE(form.Delete(QStringLiteral("易碎品")).isEmpty());
    ScriptedPrompter p;
    ASSERT_TRUE(form.Submit(p));
    EXPECT_EQ(p.shown().last().title, QStringLiteral("提示"));
    EXPECT_EQ(p.lastText(), QStringLiteral("提示输入信息设置成功。"));
    EXPECT_EQ(context.promptPhrases().phrases(), (QStringList{QStringLiteral("请轻放"), QStringLiteral("A")}));

    ClientContext again(root.path());
    again.LoadPromptPhrases(p);
    EXPECT_EQ(again.promptPhrases().phrases(), context.promptPhrases().phrases()) << "the file reads back the same";
}

TEST(PromptPhrasesForm, TheBoxTakesAtMost32000CharactersAndAFailedWriteIsNoSuccess)
{
    TempRoot root;
    ClientContext context(root.path());
    PromptPhrasesForm form(context);
    form.text = QString(PromptPhrasesForm::kMaxChars - 4, u'x') + u'\n';
    EXPECT_TRUE(form.Add(QStringLiteral("ab")).isEmpty()) << "32000 characters with its line feed";
    EXPECT_EQ(form.text.size(), PromptPhrasesForm::kMaxChars);
    EXPECT_EQ(form.Add(QStringLiteral("c")), QStringLiteral("常用短语共 32002 字符，超过 32000 字符。"));
    EXPECT_FALSE(PromptPhrasesForm::Fits(form.text + u'x'));

    root.write(QStringLiteral("prompt.dat/blocker"), "x");
    ScriptedPrompter p;
    EXPECT_FALSE(form.Submit(p));
    ASSERT_EQ(p.shown().size(), 1);
    EXPECT_EQ(p.shown().first().kind, ScriptedPrompter::Kind::Error);
    EXPECT_TRUE(p.lastText().contains(root.file(QStringLiteral("prompt.dat")))) << p.lastText().toStdString();
}
