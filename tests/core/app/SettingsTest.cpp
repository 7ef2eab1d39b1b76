#include "app/ClientContext.h"
#include "app/ProgramSettings.h"
#include "app/PromptPhrases.h"
#include "app/ScriptedPrompter.h"
#include "support/TempRoot.h"

#include <QFileInfo>

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
