#pragma once

#include "shell/Command.h"
#include "shell/FrameCommands.h"

#include <QHash>
#include <QMainWindow>

#include <functional>

class QCloseEvent;
class QLabel;
class QTimer;
class QToolBar;

class QUrl;

namespace quarvel {

class CTarvoClientView;
class OperationPane;
class Prompter;

// The one top-level window: menu, toolbar with text labels, status bar with
// the current-operation pane and the clock, and the view with the six pages.
// Record commands go to the page showing; the others to handlers that the
// application registers as their parts exist (commands without one stay
// disabled).
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // What the frame asks the application about the session.
    struct SessionView {
        std::function<bool()> loggedIn = [] { return false; };
        std::function<QString()> account = [] { return QString(); };
        std::function<int()> customerNumber = [] { return 0; };
        // Shows the login dialog when needed; true when logged in afterwards.
        std::function<bool()> ensureLoggedIn = [] { return false; };
        std::function<QString()> serverHost = [] { return QString(); };
    };

    CMainFrame(CTarvoClientView *view, Prompter &prompter, QWidget *parent = nullptr);

    void setSessionView(SessionView session) { session_ = std::move(session); }
    // A frame-level command (login, downloads, settings ...).
    void setHandler(Command command, std::function<void()> handler);
    // Marks a page command as built (print, import, pricing ...).
    void setPageCommandAvailable(Command command, bool available);
    // Starts the upload of the collected ids of a page; false when it could not start.
    void setUploadStarter(std::function<bool(int page, const QList<int> &ids)> starter);
    // Called when the operator confirms stopping the upload.
    void setUploadStopper(std::function<void()> stopper) { stopUpload_ = std::move(stopper); }
    // Opens a web address in the system browser; false when there is none.
    void setUrlOpener(std::function<bool(const QUrl &)> opener) { openUrl_ = std::move(opener); }
    // The root folder in use, which the about box names and below which the
    // support log lives.
    void setRootFolder(const QString &root) { root_ = root; }

    void execute(Command command);
    bool isCommandEnabled(Command command) const;
    bool isCommandChecked(Command command) const;
    QAction *action(Command command) const { return actions_.value(command); }
    QAction *uploadButton() const { return uploadButton_; }
    FrameState state() const;
    CTarvoClientView &view() { return *view_; }
    QToolBar &toolBar() { return *toolBar_; }

    void RefreshCaption();
    // Upload state: the button animates and reads "在传" while on.
    void SetUploading(bool on);
    bool uploading() const { return uploading_; }
    int animationFrame() const { return frame_; }
    // Pane 1: the current-operation text in its colour (RGB).
    void SetOperationText(const QString &text, unsigned rgb);
    QString operationText() const;
    QString clockText() const;
    // One timer tick: the clock, and the next animation frame while uploading.
    void Tick();
    void updateCommandStates();

protected:
    // Every page with unsaved work may keep the program open (退出 and the
    // window's close button alike).
    void closeEvent(QCloseEvent *event) override;

private:
    void buildActions();
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    QAction *makeAction(Command command, const QString &text);
    QAction *makeUploadButton();
    bool isRoutedToPage(Command command) const;
    void runPageCommand(Command command);
    void startUpload();
    void askStopUpload();
    void showAbout();
    void openHomePage();
    void openLogFolder();

    CTarvoClientView *view_;
    Prompter &prompter_;
    SessionView session_;
    QHash<int, QAction *> actions_;
    QHash<int, std::function<void()>> handlers_;
    QHash<int, bool> pageCommandAvailable_;
    std::function<bool(int, const QList<int> &)> startUpload_;
    std::function<void()> stopUpload_;
    std::function<bool(const QUrl &)> openUrl_;
    QString root_;
    QToolBar *toolBar_ = nullptr;
    QAction *uploadButton_ = nullptr;
    OperationPane *operation_ = nullptr;
    QLabel *clock_ = nullptr;
    QTimer *timer_ = nullptr;
    bool uploading_ = false;
    int frame_ = 0;
};

} // namespace quarvel
