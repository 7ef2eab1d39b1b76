#include "shell/ClientStartup.h"

#include "app/ClientContext.h"
#include "contacts/CContactPane.h"
#include "excel/ListExcelExport.h"
#include "listpane/CRecordListPane.h"
#include "net/BalanceQuery.h"
#include "net/BaseDataDownload.h"
#include "net/GuiLoginPrompt.h"
#include "net/LoginPrompt.h"
#include "preinput/CPreInputPage.h"
#include "preinput/CPreInputPane.h"
#include "print/CPrintHistoryDlg.h"
#include "print/CTemplateChooseDlg.h"
#include "print/TemplateDownload.h"
#include "query/CFeeListPane.h"
#include "query/CPreQueryPane.h"
#include "query/CRecordCheckPane.h"
#include "report/CDayReportPane.h"
#include "scale/CScaleDlg.h"
#include "scale/PreInputScale.h"
#include "scan/CCheckPane.h"
#include "settings/CPromptDlg.h"
#include "settings/CSettingsDlg.h"
#include "shell/CMainFrame.h"
#include "shell/CTarvoClientView.h"
#include "shell/FrameTexts.h"
#include "shell/PageCatalog.h"
#include "shell/SystemClipboard.h"
#include "shell/WorkerProgress.h"
#include "upload/UploadController.h"
#include "upload/UploadResultSink.h"

#include <QGuiApplication>
#include <QScreen>

namespace quarvel {

ClientStartup::ClientStartup(ClientContext &context, Prompter &prompter, FileChooser &files)
    : context_(context), env_{context, prompter, files, {}, {}},
      runDialog_([](QDialog &dialog) { return dialog.exec(); })
{
    env_.exportExcel = [this](const QString &path, const ListSnapshot &list) {
        ListExcelExport excel(context_.spreadsheetEngine(), env_.prompter);
        excel.setConfirmOverwrite(false); // the save dialog has asked already
        return excel.Export(list, path);
    };
}

ClientStartup::~ClientStartup() = default;

bool ClientStartup::InitInstance(bool showWindow)
{
    if (!context_.StartBeforeWindow(env_.prompter))
        return false;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        screen_ = screen->size();
    auto *view = new CTarvoClientView([this](int index, QWidget *parent) { return makePage(index, parent); });
    frame_ = std::make_unique<CMainFrame>(view, env_.prompter);
    frame_->setRootFolder(context_.root());
    env_.showOperation = [this](const QString &text) { frame_->SetOperationText(text, FrameTexts::kOperationColor); };
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
    registerCommands();
    context_.StartAfterWindow(env_.prompter);
    // The first page was made before the settings were read: its first new
    // record starts again so that it carries the default sender and origin.
    if (CRecordListPane *first = view->page(PageCatalog::PreInput))
        first->NewRecord();
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
    ServerSession &session = context_.session();
    const auto refresh = [this] { frame_->RefreshCaption(); };
    CMainFrame::SessionView view;
    view.loggedIn = [&session] { return session.loggedIn(); };
    view.account = [&session] { return session.account(); };
    view.customerNumber = [&session] { return session.clientId(); };
    view.ensureLoggedIn = [this, &session, refresh] {
        GuiLoginPrompt prompt(frame_.get(), context_.lastAccountPath(), refresh);
        return EnsureLoggedIn(session, prompt);
    };
    view.serverHost = [this] { return context_.config().host(); };
    frame_->setSessionView(view);
    frame_->setHandler(CmdLogin, [this, &session, refresh] {
        GuiLoginPrompt(frame_.get(), context_.lastAccountPath(), refresh).showLogin(session);
    });
    frame_->setHandler(CmdDownloadBaseData, [this, &session] {
        frame_->SetOperationText(QStringLiteral("当前操作：下载更新系统基本数据..."), FrameTexts::kOperationColor);
        // The worker only fetches into the file; the base data is loaded here.
        WorkerProgress progress(frame_.get(), QStringLiteral("下载更新基本数据"),
                                QStringLiteral("正在下载系统基本数据..."), QString());
        int result = BaseDataDownload::NoConnection;
        progress.run([&] { result = BaseDataDownload::Fetch(session, context_.baseDataPath()); });
        frame_->SetOperationText(QString(), FrameTexts::kOperationColor);
        ShowBaseDataDownload(result, context_.baseData(), context_.baseDataPath(), env_.prompter);
        if (auto *pane = qobject_cast<CPreInputPane *>(frame_->view().page(PageCatalog::PreInput)))
            pane->page().BaseDataLoaded();
    });
    frame_->setHandler(CmdSettlementSummary, [this, &session, refresh] {
        GuiLoginPrompt prompt(frame_.get(), context_.lastAccountPath(), refresh);
        if (!EnsureLoggedIn(session, prompt))
            return;
        SystemClipboard clipboard;
        BalanceQuery::Run(session, env_.prompter, clipboard);
    });
    registerPrintCommands();
    frame_->setHandler(CmdProgramSettings, [this] { CSettingsDlg(context_, env_.prompter, frame_.get()).exec(); });
    frame_->setHandler(CmdPromptPhrases, [this] { CPromptDlg(context_, env_.prompter, frame_.get()).exec(); });
    frame_->setHandler(CmdScaleSettings, [this] { CScaleDlg(context_, env_.prompter, frame_.get()).exec(); });
}

void ClientStartup::registerPrintCommands()
{
    const std::pair<Command, TemplateKind> choices[] = {{CmdChooseInvoiceTemplate, TemplateKind::Invoice},
                                                        {CmdChooseWaybillTemplate, TemplateKind::Waybill},
                                                        {CmdChooseLabelTemplate, TemplateKind::Label},
                                                        {CmdChooseManifestTemplate, TemplateKind::Manifest}};
    for (const auto &[command, kind] : choices)
        frame_->setHandler(command, [this, kind = kind] { ChooseTemplate(kind); });
    frame_->setHandler(CmdDownloadTemplates, [this] {
        frame_->SetOperationText(QStringLiteral("当前操作：下载更新打印模版..."), FrameTexts::kOperationColor);
        WorkerProgress progress(frame_.get(), QStringLiteral("下载更新打印模版"), QStringLiteral("正在取得模版列表..."),
                                QStringLiteral("停止"));
        TemplateDownload::Result result;
        progress.run([&] {
            // The worker writes only into DATA_MODEL; the loaded templates stay as they are.
            const auto report = [&](int done, int total) {
                progress.report(done, total, QStringLiteral("正在下载第 %1/%2 个模版...").arg(done + 1).arg(total));
                return !progress.stopFlag();
            };
            result = TemplateDownload::Run(context_.session(), context_.modelFolder(), report,
                                           context_.templates().workbookCheck());
        });
        frame_->SetOperationText(QString(), FrameTexts::kOperationColor);
        TemplateDownload::Show(result, env_.prompter);
    });
    frame_->setHandler(CmdPrintHistory, [this] {
        CPrintHistoryDlg dialog(context_, env_.prompter, frame_.get());
        runDialog_(dialog);
    });
}

bool ClientStartup::ChooseTemplate(TemplateKind kind)
{
    PrintTemplates &templates = context_.templates();
    const PrintTemplate *current = templates.slot(kind);
    TemplateChooseForm form(kind, context_.modelFolder(), current ? current->name() : QString());
    CTemplateChooseDlg dialog(form, frame_.get());
    runDialog_(dialog);
    const QString chosen = dialog.chosenName();
    if (chosen.isEmpty())
        return false;
    QString message;
    if (templates.ChooseTemplate(kind, chosen, &message))
        return true;
    env_.prompter.error(QString(), message);
    return false;
}

CRecordListPane *ClientStartup::makePage(int index, QWidget *parent)
{
    CRecordListPane *page = nullptr;
    switch (index) {
    case PageCatalog::PreInput: {
        auto *pane = new CPreInputPane(env_, parent);
        new PreInputScale(context_.scale(), context_.scaleSettings(), pane->page(),
                          [this](const QString &text, unsigned rgb) { frame_->SetOperationText(text, rgb); });
        page = pane;
        break;
    }
    case PageCatalog::RecordCheck:
        page = new CRecordCheckPane(env_, parent);
        break;
    case PageCatalog::Settlement:
        page = new CFeeListPane(env_, parent);
        break;
    case PageCatalog::PreQuery:
        page = new CPreQueryPane(env_, parent);
        break;
    case PageCatalog::Contacts:
        page = new CContactPane(env_, parent);
        break;
    case PageCatalog::Scan:
        page = new CCheckPane(env_, parent);
        break;
    case PageCatalog::DayReport:
        page = new CDayReportPane(env_, parent);
        break;
    default:
        page = new CRecordListPane(env_, PageCatalog::Title(index), parent);
        page->list().setColumns(PageCatalog::Columns(index));
        page->listCtrl().applyColumnWidths();
        break;
    }
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
