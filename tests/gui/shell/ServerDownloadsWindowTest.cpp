#include "preinput/CPreInputPage.h"
#include "preinput/CPreInputPane.h"
#include "shell/CMainFrame.h"
#include "shell/PageCatalog.h"
#include "support/ClientWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

QProgressDialog *progressWindow(const QString &title)
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<QProgressDialog *>(top); p && p->isVisible() && p->windowTitle() == title)
            return p;
    return nullptr;
}

} // namespace

// Downloads wait on the network: the window must keep painting while the
// server is slow, and say how far it got.
TEST(ServerDownloadsWindow, TemplatesShowProgressWhileTheServerIsSlowAndCanBeStopped)
{
    ClientWindow w;
    ASSERT_TRUE(w.started());
    const QString title = QStringLiteral("下载更新打印模版");

    ASSERT_TRUE(w.server.setHooks("next stall 1.5"));
    bool seenWhileSlow = false;
    QTimer::singleShot(400, [&] {
        if (QProgressDialog *p = progressWindow(title)) {
            seenWhileSlow = true;
            QTest::mouseClick(p->findChild<QPushButton *>(), Qt::LeftButton);
        }
    });
    w.action(CmdDownloadTemplates)->trigger();
    EXPECT_TRUE(seenWhileSlow) << "the progress window shows while the list is on its way";
    EXPECT_EQ(w.prompter.lastText(), QStringLiteral("下载已停止，共下载更新 0 个打印模版。"));
    EXPECT_FALSE(QFileInfo::exists(w.root.file(QStringLiteral("DATA_MODEL/TAB_简易面单.xls"))));
    EXPECT_EQ(progressWindow(title), nullptr);

    w.action(CmdDownloadTemplates)->trigger();
    EXPECT_EQ(w.prompter.lastText(), QStringLiteral("共下载更新 4 个打印模版。"));
    EXPECT_TRUE(QFileInfo::exists(w.root.file(QStringLiteral("DATA_MODEL/TAB_简易面单.xls"))));
    EXPECT_TRUE(QFileInfo::exists(w.root.file(QStringLiteral("DATA_MODEL/TAB_简易面单.txt"))));
}

TEST(ServerDownloadsWindow, BaseDataShowsProgressWhileTheServerIsSlowThenLoads)
{
    ClientWindow w;
    ASSERT_TRUE(w.started());
    ASSERT_TRUE(w.context().baseData().kinds().isEmpty());
    CPreInputPage &page = w.showPage<CPreInputPane>(PageCatalog::PreInput)->page();
    ASSERT_TRUE(page.edit(QStringLiteral("cemskind"))->text().isEmpty());
    ASSERT_TRUE(w.server.setHooks("next stall 1.5"));
    bool seenWhileSlow = false;
    QTimer::singleShot(400, [&] { seenWhileSlow = progressWindow(QStringLiteral("下载更新基本数据")) != nullptr; });
    w.action(CmdDownloadBaseData)->trigger();
    EXPECT_TRUE(seenWhileSlow) << "the progress window shows while the base data is on its way";
    EXPECT_EQ(w.prompter.lastText(), QStringLiteral("系统基本数据更新完成。"));
    EXPECT_FALSE(w.context().baseData().kinds().isEmpty()) << "loaded into the running window";
    // The shipment on the page, and every new one, takes the first express kind.
    const QString first = w.context().baseData().kindNames().first();
    EXPECT_EQ(page.edit(QStringLiteral("cemskind"))->text(), first);
    page.NewRecord();
    EXPECT_EQ(page.edit(QStringLiteral("cemskind"))->text(), first);
}
