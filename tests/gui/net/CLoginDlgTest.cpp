#include "net/CLoginDlg.h"
#include "app/ScriptedPrompter.h"
#include "net/LoginForm.h"
#include "net/LoginReply.h"
#include "net/ServerSession.h"
#include "support/GuiApplication.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace quarvel;

namespace {

struct DialogFixture {
    DialogFixture()
    {
        guiApplication();
        session.configure("127.0.0.1:1", QStringLiteral("S01"));
        session.setTimeouts({400, 400, 400});
    }
    QString lastAccount() const { return root.file(QStringLiteral("last.dat")); }

    TempRoot root;
    ServerSession session;
    ScriptedPrompter prompter;
};

QColor statusColour(const CLoginDlg &dialog)
{
    return dialog.statusLabel()->palette().color(QPalette::WindowText);
}

} // namespace

TEST(CLoginDlg, OpensOfflineWithTheLastAccountAndThePasswordFocused)
{
    DialogFixture f;
    f.root.write(QStringLiteral("last.dat"), Gbk::fromUnicode(QStringLiteral("王五")));
    LoginForm form(f.session, f.lastAccount());
    CLoginDlg dialog(form, &f.prompter);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("登入服务器"));
    EXPECT_EQ(dialog.accountEdit()->text(), QStringLiteral("王五"));
    EXPECT_EQ(dialog.passwordEdit()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.statusLabel()->text(), QStringLiteral("状态：没有登入！"));
    EXPECT_EQ(statusColour(dialog), QColor(255, 0, 0));
    EXPECT_EQ(dialog.focusWidget(), dialog.passwordEdit());
    EXPECT_EQ(dialog.loginButton()->text(), QStringLiteral("确认登入"));
    EXPECT_EQ(dialog.closeButton()->text(), QStringLiteral("取消关闭"));

    DialogFixture empty;
    LoginForm fresh(empty.session, empty.lastAccount());
    CLoginDlg first(fresh, &empty.prompter);
    first.show();
    EXPECT_EQ(first.focusWidget(), first.accountEdit());
}

TEST(CLoginDlg, TypedValuesAreCheckedBeforeSending)
{
    DialogFixture f;
    LoginForm form(f.session, f.lastAccount());
    CLoginDlg dialog(form, &f.prompter);
    dialog.show();
    typeInto(dialog.accountEdit(), QString(35, u'a'));
    EXPECT_EQ(dialog.accountEdit()->text().size(), 30) << "the box takes 30 characters";

    dialog.accountEdit()->clear();
    typeInto(dialog.accountEdit(), QString(16, QChar(0x738B)));
    pressKey(dialog.accountEdit(), Qt::Key_Return);
    EXPECT_EQ(dialog.focusWidget(), dialog.passwordEdit()) << "Enter moves on to the password";
    EXPECT_TRUE(f.prompter.shown().isEmpty());
    pressKey(dialog.passwordEdit(), Qt::Key_Return);
    ASSERT_EQ(f.prompter.shown().size(), 1);
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("[帐号]长度不得超过 30 字符。"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    dialog.accountEdit()->setText(QStringLiteral("  bob  "));
    dialog.loginButton()->click();
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("与服务器连接失败[ Ret:-120]"));
    EXPECT_EQ(dialog.accountEdit()->text(), QStringLiteral("bob")) << "the box shows the trimmed value";
    EXPECT_TRUE(dialog.isVisible()) << "a failed attempt leaves the dialog open";
}

TEST(CLoginDlg, SuccessfulLoginClosesTheDialog)
{
    DialogFixture f;
    ScriptedHttpServer server;
    f.session.configure(server.host(), QStringLiteral("S01"));
    server.reply("HTTP/1.0 200 OK\r\n\r\n0,42,7001,1");
    LoginForm form(f.session, f.lastAccount());
    CLoginDlg dialog(form, &f.prompter);
    dialog.show();
    typeInto(dialog.accountEdit(), QStringLiteral("alice"));
    typeInto(dialog.passwordEdit(), QStringLiteral("secret"));
    pressKey(dialog.passwordEdit(), Qt::Key_Return);
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("登入验证成功！[1]"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(f.session.loggedIn());
    EXPECT_EQ(f.session.account(), QStringLiteral("alice"));
    EXPECT_TRUE(server.requests().first().contains("&ac=alice&md5="));
}

TEST(CLoginDlg, OpensLoggedInWithTheButtonFocusedAndCloses)
{
    DialogFixture f;
    f.session.applyLogin(LoginReply::parse("0,42,7001,1"), QStringLiteral("alice"), QStringLiteral("pw"));
    LoginForm form(f.session, f.lastAccount());
    CLoginDlg dialog(form, &f.prompter);
    dialog.show();
    EXPECT_EQ(dialog.statusLabel()->text(), QStringLiteral("状态：已登入成功！"));
    EXPECT_EQ(statusColour(dialog), QColor(0, 255, 0));
    EXPECT_EQ(dialog.accountEdit()->text(), QStringLiteral("alice"));
    EXPECT_EQ(dialog.passwordEdit()->text(), QStringLiteral("pw"));
    EXPECT_EQ(dialog.focusWidget(), dialog.loginButton());
    dialog.closeButton()->setFocus();
    pressKey(dialog.closeButton(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(f.prompter.shown().isEmpty());
}
