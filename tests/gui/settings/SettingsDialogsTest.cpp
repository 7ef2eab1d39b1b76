#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "settings/CPromptDlg.h"
#include "settings/CSettingsDlg.h"
#include "support/TempRoot.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

using namespace quarvel;

namespace {

void press(QWidget *w, int key)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &down);
}

} // namespace

TEST(SettingsDialogs, ProgramSettingsAreTypedWithTheKeyboardAndSaved)
{
    TempRoot root;
    ClientContext context(root.path());
    ScriptedPrompter p;
    CSettingsDlg dlg(context, p);
    dlg.show();
    QApplication::setActiveWindow(&dlg);

    dlg.programNumberBox()->setFocus();
    dlg.programNumberBox()->setText(QStringLiteral("12"));
    press(dlg.programNumberBox(), Qt::Key_Return);
    QLineEdit *origin = dlg.box(&ProgramSettings::origin);
    EXPECT_TRUE(origin->hasFocus()) << "Enter moves on like Tab";
    origin->setText(QStringLiteral("深圳福田"));
    press(origin, Qt::Key_Down);
    EXPECT_TRUE(dlg.box(&ProgramSettings::senderName)->hasFocus());
    press(dlg.box(&ProgramSettings::senderName), Qt::Key_Up);
    EXPECT_TRUE(origin->hasFocus());

    dlg.addressBox()->setFocus();
    dlg.addressBox()->setPlainText(QStringLiteral("福田区"));
    dlg.addressBox()->moveCursor(QTextCursor::End);
    press(dlg.addressBox(), Qt::Key_Return);
    EXPECT_TRUE(dlg.addressBox()->hasFocus()) << "Enter makes a new line in the address";
    dlg.box(&ProgramSettings::senderName)->setText(QStringLiteral("张三"));

    dlg.confirmButton()->setFocus();
    press(dlg.confirmButton(), Qt::Key_Return);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(p.lastText(), QStringLiteral("设置数据已保存。"));
    ProgramSettings saved;
    saved.Load(root.file(QStringLiteral("prgset.dat")));
    EXPECT_EQ(saved.programNumber, 0) << "12 is no program number";
    EXPECT_EQ(saved.origin, QStringLiteral("深圳福田"));
    EXPECT_EQ(saved.senderName, QStringLiteral("张三"));
    EXPECT_EQ(saved.address, QStringLiteral("福田区\n"));
}

TEST(SettingsDialogs, PromptPhrasesAreSavedAndReloaded)
{
    TempRoot root;
    ClientContext context(root.path());
    ScriptedPrompter p;
    {
        CPromptDlg dlg(context, p);
        dlg.textBox()->setPlainText(QStringLiteral("易碎品\n请轻放\n"));
        dlg.Submit();
    }
    EXPECT_EQ(p.shown().last().title, QStringLiteral("提示"));
    EXPECT_EQ(p.lastText(), QStringLiteral("提示输入信息设置成功。"));
    EXPECT_EQ(context.promptPhrases().phrases(), (QStringList{QStringLiteral("易碎品"), QStringLiteral("请轻放")}));
    CPromptDlg again(context, p);
    EXPECT_EQ(again.textBox()->toPlainText(), QStringLiteral("易碎品\n请轻放\n"));
}
