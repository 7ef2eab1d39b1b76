#include "listpane/CRecordListCtrl.h"
#include "preinput/CPreInputPane.h"
#include "shell/FrameCommands.h"
#include "shell/PageCatalog.h"
#include "support/ClientWindow.h"

#include <QAction>
#include <QFileInfo>
#include <QUrl>

#include <gtest/gtest.h>

using namespace quarvel;

TEST(FirstUseGui, ChineseButtonsPlainMenusAWholeWaybillNumberAndAHomePageMessage)
{
    ClientWindow w(ClientWindow::Options{false, false, false, 5000, {}});
    ASSERT_TRUE(w.started());

    // Qt's own texts (standard buttons, file dialogs) come in Chinese.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));

    // Only the commands with a toolbar button carry a picture into the menus.
    const QList<Command> toolbar = FrameCommands::ToolbarLayout();
    for (Command c : {CmdLogin, CmdDownloadBaseData, CmdProgramSettings, CmdShowScan, CmdTidyNumbers}) {
        if (!toolbar.contains(c)) {
            EXPECT_TRUE(w.action(c)->icon().isNull()) << FrameCommands::Label(c).toStdString();
        }
    }
    EXPECT_FALSE(w.action(CmdNew)->icon().isNull());

    // The waybill number column is wide enough for a whole 13-character number.
    auto *pane = w.showPage<CPreInputPane>(PageCatalog::PreInput);
    ASSERT_NE(pane, nullptr);
    const int column = 3;
    ASSERT_EQ(pane->list().columns().at(column).caption, QStringLiteral("运单号"));
    EXPECT_GT(pane->listCtrl().columnWidth(column),
              pane->listCtrl().fontMetrics().horizontalAdvance(QStringLiteral("DE90123000101")));

    // 主页 without a browser says so instead of doing nothing.
    QUrl asked;
    w.frame().setUrlOpener([&asked](const QUrl &url) {
        asked = url;
        return false;
    });
    w.action(CmdHomePage)->trigger();
    EXPECT_EQ(asked, QUrl(QStringLiteral("http://127.0.0.1:8080/")));
    ASSERT_FALSE(w.prompter.shown().isEmpty());
    EXPECT_EQ(w.prompter.lastText(),
              QStringLiteral("无法打开公司网站 http://127.0.0.1:8080/\r\n本机没有可用的网页浏览器。"));
}

TEST(FirstUseGui, OpenLogFolderOpensTheInstallationsLogFolder)
{
    ClientWindow w(ClientWindow::Options{false, false, false, 5000, {}});
    ASSERT_TRUE(w.started());
    QUrl asked;
    w.frame().setUrlOpener([&asked](const QUrl &url) {
        asked = url;
        return true;
    });
    ASSERT_TRUE(w.action(CmdOpenLogFolder)->isEnabled());
    w.action(CmdOpenLogFolder)->trigger();
    EXPECT_EQ(asked, QUrl::fromLocalFile(w.root.path() + QStringLiteral("DATA_SYS/log")));
    EXPECT_TRUE(QFileInfo(asked.toLocalFile()).isDir());
    // The start-up itself is the log's first line.
    EXPECT_TRUE(QFileInfo::exists(asked.toLocalFile() + QStringLiteral("/quarvel.log")));
}
