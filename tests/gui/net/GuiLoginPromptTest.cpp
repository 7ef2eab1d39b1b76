#include "net/GuiLoginPrompt.h"
#include "net/CLoginDlg.h"
#include "net/LoginPrompt.h"
#include "net/ServerSession.h"
#include "support/GuiApplication.h"
#include "support/TempRoot.h"

#include <QPushButton>
#include <QTimer>

using namespace quarvel;

TEST(GuiLoginPrompt, ShowsTheDialogAndRefreshesAfterwardsWhateverTheResult)
{
    guiApplication();
    TempRoot root;
    ServerSession session;
    int refreshed = 0;
    QString title;
    GuiLoginPrompt prompt(nullptr, root.file(QStringLiteral("last.dat")), [&] { ++refreshed; });
    // The operator closes the dialog without logging in.
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<CLoginDlg *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        dialog->closeButton()->click();
    });
    EXPECT_FALSE(EnsureLoggedIn(session, prompt));
    EXPECT_EQ(title, QStringLiteral("登入服务器"));
    EXPECT_EQ(refreshed, 1);
}
