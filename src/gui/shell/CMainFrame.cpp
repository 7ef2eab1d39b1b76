#include "shell/CMainFrame.h"

#include "app/ClientContext.h"
#include "app/Prompter.h"
#include "app/SupportLog.h"
#include "listpane/CRecordListPane.h"
#include "shell/CTarvoClientView.h"
#include "shell/FocusReturn.h"
#include "shell/FrameKeysFirst.h"
#include "shell/FrameTexts.h"
#include "shell/OperationPane.h"
#include "shell/ToolbarIcons.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace quarvel {

namespace {

struct MenuEntry {
    Command command;
    const char16_t *text;
    QList<QKeySequence> keys;
};

struct Menu {
    const char16_t *title;
    QList<MenuEntry> entries;
};

QList<Menu> menuTable()
{
    using K = QKeySequence;
    return {
        {u"系统(&S)",
         {{CmdLogin, u"登入服务器(&L)", {K(Qt::CTRL | Qt::Key_L)}},
          {CmdSave, u"保存(&S)", {K(Qt::CTRL | Qt::Key_S), K(Qt::Key_F2)}},
          {CmdDelete, u"删除(&X)", {}},
          {CmdSeparator, u"", {}},
          {CmdDownloadBaseData, u"下载更新基本数据(&D)", {}},
          {CmdDownloadTemplates, u"下载更新打印模版", {}},
          {CmdSeparator, u"", {}},
          {CmdSettlementSummary, u"查询业务结算情况", {}},
          {CmdPrice, u"给所选预录记录计价", {}},
          {CmdTidyNumbers, u"整理预录记录的运单号", {}},
          {CmdSeparator, u"", {}},
          {CmdPrint, u"打印...", {}},
          {CmdSeparator, u"", {}},
          {CmdExit, u"退出(&X)", {}}}},
        {u"管理(&M)",
         {{CmdChooseLabelTemplate, u"选择标签模版", {}},
          {CmdChooseWaybillTemplate, u"选择面单模版", {}},
          {CmdChooseInvoiceTemplate, u"选择形式发票模版", {}},
          {CmdChooseManifestTemplate, u"选择交接单模版", {}},
          {CmdSeparator, u"", {}},
          {CmdScaleSettings, u"设置本机电子秤参数", {}},
          {CmdProgramSettings, u"设置本程序运行数据", {}},
          {CmdPromptPhrases, u"设置常用提示输入", {}}}},
        {u"操作(&O)",
         {{CmdShowPreInput, u"预录-本地业务预录管理", {}},
          {CmdShowPreQuery, u"预查-查询已上传的预录单信息", {}},
          {CmdShowRecordCheck, u"核单-已入系统快件记录核查", {}},
          {CmdShowSettlement, u"结算-快件结算记录查询", {}},
          {CmdShowScan, u"检查-检查点运转信息扫描", {}},
          {CmdShowContacts, u"名录-收/发件人资料管理", {}}}},
        {u"打印(&P)",
         {{CmdPrintLabels, u"打印标签(&L)", {}},
          {CmdPrintWaybills, u"打印面单(&T)", {}},
          {CmdPrintInvoices, u"打印形式发票(&P)", {}},
          {CmdInvoicesToFile, u"输出形式发票到文件(&F)", {}},
          {CmdSeparator, u"", {}},
          {CmdPrintHistory, u"打印记录(&H)...", {}}}},
        {u"信息(&Z)",
         {{CmdQuery, u"信息查询(&F)", {K(Qt::Key_F4)}},
          {CmdRefresh, u"刷新列表数据", {}},
          {CmdSeparator, u"", {}},
          {CmdCopy, u"整体拷贝", {}},
          {CmdPaste, u"整体粘贴", {}},
          {CmdSeparator, u"", {}},
          {CmdImport, u"打开Excel文件导入", {}},
          {CmdExport, u"报表文件导出", {}},
          {CmdSelectAll, u"将列表记录全部选中", {}},
          {CmdSeparator, u"", {}},
          {CmdShowDayReport, u"日结(&J)", {}},
          {CmdSeparator, u"", {}},
          {CmdUpload, u"上传数据(&U)", {K(Qt::CTRL | Qt::Key_U), K(Qt::Key_F3)}}}},
        {u"查看(&V)", {{CmdToggleToolbar, u"工具栏(&T)", {}}, {CmdToggleStatusBar, u"状态栏(&S)", {}}}},
        {u"帮助(&H)",
         {{CmdAbout, u"关于Quarvel客户端(&A)...", {}},
          {CmdHomePage, u"打开公司网站", {}},
          {CmdOpenLogFolder, u"打开日志文件夹(&L)", {}}}},
    };
}

// Commands that need a session first.
bool needsLogin(Command c)
{
    return c == CmdQuery || c == CmdPrice || c == CmdTidyNumbers;
}

// Page commands whose work belongs to later parts of the program are off until
// the application says they are there.
bool pageCommandBuiltIn(Command c)
{
    switch (c) {
    case CmdSave:
    case CmdDelete:
    case CmdNew:
    case CmdCopy:
    case CmdPaste:
    case CmdRefresh:
    case CmdSelectAll:
    case CmdExport:
    case CmdPrint:
    case CmdQuery:
        return true;
    default:
        return false;
    }
}

} // namespace

CMainFrame::CMainFrame(CTarvoClientView *view, Prompter &prompter, QWidget *parent)
    : QMainWindow(parent), view_(view), prompter_(prompter),
      openUrl_([](const QUrl &url) { return QDesktopServices::openUrl(url); })
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setCentralWidget(view_);
    new FocusReturn(this);
    new FrameKeysFirst(this, {QKeySequence(Qt::CTRL | Qt::Key_U)});
    buildActions();
    buildMenus();
    buildToolBar();
    buildStatusBar();
    connect(view_, &CTarvoClientView::pageShown, this, &CMainFrame::updateCommandStates);
    connect(view_, &CTarvoClientView::pageFlagsChanged, this, &CMainFrame::updateCommandStates);
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &CMainFrame::Tick);
    timer_->start(1000);
    Tick();
    RefreshCaption();
    updateCommandStates();
}

QAction *CMainFrame::makeAction(Command command, const QString &text)
{
    QAction *a = actions_.value(command);
    if (!a) {
        a = new QAction(text, this);
        a->setStatusTip(FrameCommands::Help(command));
        a->setToolTip(FrameCommands::Label(command));
        // Toolbar buttons show the short name; the menu shows the full text.
        a->setIconText(FrameCommands::Label(command));
        connect(a, &QAction::triggered, this, [this, command] { execute(command); });
        actions_.insert(command, a);
        addAction(a);
    }
    return a;
}

void CMainFrame::buildActions()
{
    for (const Menu &menu : menuTable())
        for (const MenuEntry &e : menu.entries)
            if (e.command != CmdSeparator) {
                QAction *a = makeAction(e.command, QString::fromUtf16(e.text));
                a->setShortcuts(e.keys);
                a->setShortcutContext(Qt::WindowShortcut);
            }
    for (Command c : FrameCommands::ToolbarLayout())
        if (c != CmdSeparator)
            makeAction(c, FrameCommands::Label(c));
    for (Command c : {CmdShowPreInput, CmdShowPreQuery, CmdShowRecordCheck, CmdShowSettlement, CmdShowScan,
                      CmdShowContacts, CmdShowDayReport, CmdToggleToolbar, CmdToggleStatusBar})
        actions_.value(c)->setCheckable(true);
    // Only the commands with a toolbar button have a picture; the others
    // would show an empty square in their menu.
    for (Command c : FrameCommands::ToolbarLayout())
        if (c != CmdSeparator && actions_.value(c)->icon().isNull())
            actions_.value(c)->setIcon(ToolbarIcons::For(c));
    for (Command c : FrameCommands::AnimationFrames())
        actions_.value(c)->setIcon(ToolbarIcons::UploadFrame(FrameCommands::AnimationFrames().indexOf(c)));
}

void CMainFrame::buildMenus()
{
    for (const Menu &m : menuTable()) {
        QMenu *menu = menuBar()->addMenu(QString::fromUtf16(m.title));
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
        for (const MenuEntry &e : m.entries) {
            if (e.command == CmdSeparator)
                menu->addSeparator();
            else
                menu->addAction(actions_.value(e.command));
        }
    }
}

void CMainFrame::buildToolBar()
{
    toolBar_ = addToolBar(QStringLiteral("工具栏"));
    toolBar_->setObjectName(QStringLiteral("toolbar"));
    toolBar_->setIconSize(QSize(16, 15));
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    for (Command c : FrameCommands::ToolbarLayout()) {
        if (c == CmdSeparator) {
            toolBar_->addSeparator();
            continue;
        }
        QAction *a = c == CmdUpload ? makeUploadButton() : actions_.value(c);
        toolBar_->addAction(a);
        if (QWidget *w = toolBar_->widgetForAction(a))
            w->setToolTip(FrameCommands::Label(c));
        if (FrameCommands::IsAnimationFrame(c))
            a->setVisible(false);
    }
    connect(toolBar_, &QToolBar::visibilityChanged, this, &CMainFrame::updateCommandStates);
}

QAction *CMainFrame::makeUploadButton()
{
    // The toolbar's upload button carries the upload command while idle and
    // the current animation frame's command while an upload runs.
    uploadButton_ = new QAction(ToolbarIcons::For(CmdUpload), FrameCommands::Label(CmdUpload), this);
    uploadButton_->setIconText(FrameCommands::Label(CmdUpload));
    uploadButton_->setStatusTip(FrameCommands::Help(CmdUpload));
    connect(uploadButton_, &QAction::triggered, this,
            [this] { execute(uploading_ ? FrameCommands::AnimationFrames().at(frame_) : CmdUpload); });
    return uploadButton_;
}

void CMainFrame::buildStatusBar()
{
    statusBar()->showMessage(QStringLiteral("就绪"));
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString &message) {
        if (message.isEmpty())
            statusBar()->showMessage(QStringLiteral("就绪"));
    });
    operation_ = new OperationPane(this);
    clock_ = new QLabel(this);
    clock_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000.00.00 00:00:00-00000")));
    statusBar()->addPermanentWidget(operation_);
    statusBar()->addPermanentWidget(clock_);
    for (const char16_t *text : {u"100%", u"大写", u"数字", u"滚动"}) {
        auto *pane = new QLabel(QString::fromUtf16(text), this);
        pane->setEnabled(false);
        statusBar()->addPermanentWidget(pane);
    }
}

void CMainFrame::setHandler(Command command, std::function<void()> handler)
{
    handlers_.insert(command, std::move(handler));
    updateCommandStates();
}

void CMainFrame::setPageCommandAvailable(Command command, bool available)
{
    pageCommandAvailable_.insert(command, available);
    updateCommandStates();
}

void CMainFrame::setUploadStarter(std::function<bool(int, const QList<int> &)> starter)
{
    startUpload_ = std::move(starter);
    updateCommandStates();
}

FrameState CMainFrame::state() const
{
    FrameState s;
    s.page = view_->currentIndex();
    if (CRecordListPane *page = view_->currentPage()) {
        s.flags = page->flags();
        s.listHasRows = page->list().rowCount() > 0;
    }
    s.loggedIn = session_.loggedIn();
    s.customerNumber = session_.customerNumber();
    s.uploading = uploading_;
    s.toolbarShown = toolBar_ && !toolBar_->isHidden();
    s.statusBarShown = !statusBar()->isHidden();
    return s;
}

bool CMainFrame::isRoutedToPage(Command c) const
{
    switch (c) {
    case CmdSave:
    case CmdDelete:
    case CmdNew:
    case CmdCopy:
    case CmdPaste:
    case CmdRefresh:
    case CmdSelectAll:
    case CmdExport:
    case CmdPrint:
    case CmdQuery:
    case CmdImport:
    case CmdPrintLabels:
    case CmdPrintWaybills:
    case CmdPrintInvoices:
    case CmdInvoicesToFile:
    case CmdTidyNumbers:
    case CmdPrice:
        return true;
    default:
        return false;
    }
}

bool CMainFrame::isCommandEnabled(Command c) const
{
    const FrameState s = state();
    if (!FrameCommands::IsEnabled(c, s))
        return false;
    if (FrameCommands::PageOf(c) >= 0 || FrameCommands::IsAnimationFrame(c))
        return true;
    switch (c) {
    case CmdExit:
    case CmdAbout:
    case CmdHomePage:
    case CmdOpenLogFolder:
    case CmdToggleToolbar:
    case CmdToggleStatusBar:
        return true;
    case CmdUpload:
        return static_cast<bool>(startUpload_);
    default:
        break;
    }
    if (isRoutedToPage(c)) {
        const CRecordListPane *page = view_->currentPage();
        return page && (pageCommandBuiltIn(c) || page->Supports(c) || pageCommandAvailable_.value(c, false));
    }
    return handlers_.contains(c);
}

bool CMainFrame::isCommandChecked(Command c) const
{
    return FrameCommands::IsChecked(c, state());
}

void CMainFrame::updateCommandStates()
{
    const FrameState s = state();
    if (uploadButton_)
        uploadButton_->setEnabled(uploading_ || isCommandEnabled(CmdUpload));
    for (auto it = actions_.begin(); it != actions_.end(); ++it) {
        const Command c = Command(it.key());
        it.value()->setEnabled(isCommandEnabled(c));
        if (it.value()->isCheckable())
            it.value()->setChecked(FrameCommands::IsChecked(c, s));
    }
}

void CMainFrame::execute(Command c)
{
    if (!isCommandEnabled(c)) {
        updateCommandStates();
        return;
    }
    const int page = FrameCommands::PageOf(c);
    if (page >= 0) {
        view_->ShowPage(page);
    } else if (FrameCommands::IsAnimationFrame(c)) {
        askStopUpload();
    } else if (c == CmdUpload) {
        startUpload();
    } else if (isRoutedToPage(c)) {
        runPageCommand(c);
    } else if (c == CmdExit) {
        close();
    } else if (c == CmdAbout) {
        showAbout();
    } else if (c == CmdHomePage) {
        openHomePage();
    } else if (c == CmdOpenLogFolder) {
        openLogFolder();
    } else if (c == CmdToggleToolbar) {
        toolBar_->setVisible(toolBar_->isHidden());
    } else if (c == CmdToggleStatusBar) {
        statusBar()->setVisible(statusBar()->isHidden());
    } else if (const auto handler = handlers_.value(c)) {
        handler();
        if (c == CmdLogin)
            RefreshCaption();
    }
    updateCommandStates();
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    for (int i = 0; i < CTarvoClientView::kPages; ++i) {
        CRecordListPane *page = view_->page(i);
        if (!page || page->ConfirmClose())
            continue;
        view_->ShowPage(i);
        event->ignore();
        return;
    }
    event->accept();
}

void CMainFrame::runPageCommand(Command c)
{
    CRecordListPane *page = view_->currentPage();
    if (!page)
        return;
    if (needsLogin(c) && !session_.ensureLoggedIn()) {
        RefreshCaption();
        return;
    }
    RefreshCaption();
    switch (c) {
    case CmdSave:
        page->SaveRecord();
        break;
    case CmdDelete:
        page->DeleteRecord();
        break;
    case CmdNew:
        page->SetFormHidden(false);
        page->NewRecord();
        break;
    case CmdCopy:
        page->CopyAll();
        break;
    case CmdPaste:
        page->PasteAll();
        break;
    case CmdRefresh:
        page->RefreshList();
        break;
    case CmdSelectAll:
        page->SelectAll();
        break;
    case CmdExport:
        page->ExportReport();
        break;
    case CmdPrint:
        page->Print();
        break;
    case CmdQuery:
        page->QueryInformation();
        break;
    case CmdImport:
        page->ImportFromExcel();
        break;
    case CmdPrintLabels:
        page->PrintLabels();
        break;
    case CmdPrintWaybills:
        page->PrintWaybills();
        break;
    case CmdPrintInvoices:
        page->PrintInvoices(false);
        break;
    case CmdInvoicesToFile:
        page->PrintInvoices(true);
        break;
    case CmdTidyNumbers:
        page->TidyWaybillNumbers();
        break;
    case CmdPrice:
        page->PriceSelected();
        break;
    default:
        break;
    }
}

void CMainFrame::startUpload()
{
    CRecordListPane *page = view_->currentPage();
    if (!page || !page->flags().canUpload || uploading_ || !startUpload_)
        return;
    if (!session_.ensureLoggedIn()) {
        RefreshCaption();
        return;
    }
    RefreshCaption();
    QList<int> ids;
    uploading_ = true;
    if (page->CollectUploadIds(ids) < 0)
        ids.clear();
    if (ids.isEmpty()) {
        prompter_.warning(QString(), QStringLiteral("没有选择需要上传的数据！"));
        uploading_ = false;
        return;
    }
    uploading_ = false;
    if (startUpload_(view_->currentIndex(), ids))
        SetUploading(true);
}

void CMainFrame::askStopUpload()
{
    if (!uploading_)
        return;
    const bool stop = prompter_.ask(QStringLiteral("终止上传确认提示"),
                                    QStringLiteral("正在上传数据！\r\n━━━━━━━━━━━━\r\n现在终止上传吗？请确认！"));
    if (stop && stopUpload_)
        stopUpload_();
}

void CMainFrame::SetUploading(bool on)
{
    uploading_ = on;
    frame_ = 0;
    uploadButton_->setIconText(on ? QStringLiteral("在传") : FrameCommands::Label(CmdUpload));
    uploadButton_->setIcon(on ? ToolbarIcons::UploadFrame(0) : ToolbarIcons::For(CmdUpload));
    uploadButton_->setStatusTip(FrameCommands::Help(on ? CmdUploadFrame0 : CmdUpload));
    updateCommandStates();
}

void CMainFrame::Tick()
{
    clock_->setText(clockText());
    if (uploading_) {
        frame_ = (frame_ + 1) % 6;
        uploadButton_->setIcon(ToolbarIcons::UploadFrame(frame_));
    }
}

QString CMainFrame::clockText() const
{
    return FrameTexts::Clock(QDateTime::currentDateTime());
}

void CMainFrame::SetOperationText(const QString &text, unsigned rgb)
{
    operation_->setOperation(text, rgb);
}

QString CMainFrame::operationText() const
{
    return operation_->text();
}

void CMainFrame::RefreshCaption()
{
    setWindowTitle(FrameTexts::Caption(ClientContext::applicationTitle(), session_.loggedIn(), session_.account(),
                                       session_.customerNumber()));
}

void CMainFrame::showAbout()
{
    QMessageBox box(this);
    box.setWindowTitle(QStringLiteral("关于 %1").arg(ClientContext::applicationTitle()));
    box.setIconPixmap(windowIcon().pixmap(32, 32));
    box.setText(FrameTexts::About(ClientContext::applicationTitle(), root_));
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

void CMainFrame::openLogFolder()
{
    // The folder exists before anything is logged, so that the file manager opens.
    const QString folder = SupportLog::FolderOf(root_);
    QDir().mkpath(folder);
    if (!openUrl_(QUrl::fromLocalFile(folder)))
        prompter_.warning(QString(), QStringLiteral("无法打开日志文件夹 %1\r\n本机没有可用的文件管理器。").arg(folder));
}

void CMainFrame::openHomePage()
{
    const QString host = session_.serverHost();
    if (host.isEmpty())
        return;
    const QString url = QStringLiteral("http://%1/").arg(host);
    if (!openUrl_(QUrl(url)))
        prompter_.warning(QString(), QStringLiteral("无法打开公司网站 %1\r\n本机没有可用的网页浏览器。").arg(url));
}

} // namespace quarvel
