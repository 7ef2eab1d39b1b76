#include "shell/ClientStartup.h"

#include "app/ClientContext.h"
#include "listpane/CRecordListPane.h"
#include "settings/CPromptDlg.h"
#include "settings/CSettingsDlg.h"
#include "shell/CMainFrame.h"
#include "shell/CTarvoClientView.h"
#include "shell/PageCatalog.h"
#include "upload/UploadController.h"
#include "upload/UploadResultSink.h"

#include <QGuiApplication>
#include <QScreen>

namespace quarvel {

ClientStartup::ClientStartup(ClientContext &context, Prompter &prompter, FileChooser &files)
    : context_(context), env_{context, prompter, files, {}}
{
}

ClientStartup::~ClientStartup() = default;

bool ClientStartup::InitInstance(bool showWindow)
{
    if (!context_.Start(env_.prompter))
        return false;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        screen_ = screen->size();
    auto *view = new CTarvoClientView([this](int index, QWidget *parent) { return makePage(index, parent); });
    frame_ = std::make_unique<CMainFrame>(view, env_.prompter);
    uploads_ = std::make_unique<UploadController>(context_, *frame_);
    uploads_->attach();
    if (showWindow) {
        // Without a window manager "maximised" means nothing; the available
        // screen area stands in for it.
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            frame_->setGeometry(screen->availableGeometry());
        frame_->showMaximized();
    }
    frame_->RefreshCaption();
    view->ShowPage(PageCatalog::PreInput);
    context_.LoadPromptPhrases();
    registerCommands();
    context_.LoadProgramSettings();
    return true;
}

int ClientStartup::ExitInstance()
{
    uploads_.reset();
    frame_.reset();
    context_.Shutdown();
    return 0;
}

void ClientStartup::registerCommands()
{
    frame_->setHandler(CmdProgramSettings, [this] { CSettingsDlg(context_, env_.prompter, frame_.get()).exec(); });
    frame_->setHandler(CmdPromptPhrases, [this] { CPromptDlg(context_, env_.prompter, frame_.get()).exec(); });
}

CRecordListPane *ClientStartup::makePage(int index, QWidget *parent)
{
    auto *page = new CRecordListPane(env_, PageCatalog::Title(index), parent);
    page->list().setColumns(PageCatalog::Columns(index));
    page->listCtrl().applyColumnWidths();
    registerUploadPage(index, page);
    return page;
}

void ClientStartup::registerUploadPage(int index, CRecordListPane *page)
{
    // The pages that upload take the results of their records.
    if (auto *sink = dynamic_cast<UploadResultSink *>(page))
        uploads_->registerPage(index, index == PageCatalog::Scan ? UploadKind::Scans : UploadKind::Shipments, sink);
}

} // namespace quarvel
