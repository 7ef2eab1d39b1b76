#include "shell/FrameCommands.h"

#include <QHash>

#include <iterator>

namespace quarvel {

namespace {

const QHash<int, QString> &promptTexts()
{
    static const QHash<int, QString> texts{
        {CmdLogin, QStringLiteral("登入Tarvo服务主系统\n登入")},
        {CmdSave, QStringLiteral("保存信息记录\n保存")},
        {CmdUpload, QStringLiteral("上传当前选中的数据\n上传")},
        {CmdDownloadBaseData, QStringLiteral("下载更新系统基本数据\n下载")},
        {CmdPrint, QStringLiteral("打印报表\n打印")},
        {CmdShowRecordCheck, QStringLiteral("检索、核查已经入系统的快件业务记录\n核单")},
        {CmdShowPreInput, QStringLiteral("业务预录管理\n预录")},
        {CmdShowScan, QStringLiteral("检查点扫描 \n检查")},
        {CmdNew, QStringLiteral("清除、进入添加状态\n新建")},
        {CmdDelete, QStringLiteral("删除当前选中的信息记录\n删除")},
        {CmdCopy, QStringLiteral("信息整体拷贝\n拷贝")},
        {CmdPaste, QStringLiteral("信息整体粘贴\n粘贴")},
        {CmdShowContacts, QStringLiteral("名录-管理收/发件人资料\n名录")},
        {CmdQuery, QStringLiteral("信息查询\n查询")},
        {CmdExport, QStringLiteral("报表文件导出\n导出")},
        {CmdPromptPhrases, QStringLiteral("常用提示输入信息设置\n输入")},
        {CmdUploadFrame0, QStringLiteral("正在上传当前选中的数据\n上传")},
        {CmdUploadFrame1, QStringLiteral("正在上传当前选中的数据\n上传")},
        {CmdUploadFrame2, QStringLiteral("正在上传当前选中的数据\n上传")},
        {CmdUploadFrame3, QStringLiteral("正在上传当前选中的数据\n上传")},
        {CmdUploadFrame4, QStringLiteral("正在上传当前选中的数据\n上传")},
        {CmdUploadFrame5, QStringLiteral("正在上传当前选中的数据\n上传")},
        {CmdSelectAll, QStringLiteral("将列表记录全部选中\n全选")},
        {CmdRefresh, QStringLiteral("刷新列表数据\n刷新")},
        {CmdSettlementSummary, QStringLiteral("查询业务结算情况\n结算")},
        {CmdShowSettlement, QStringLiteral("快件结算记录查询\n结算")},
        {CmdPrice, QStringLiteral("给所选预录记录计算价格\n计价")},
        {CmdTidyNumbers, QStringLiteral("整理预录记录的运单号\n运单")},
        {CmdImport, QStringLiteral("打开Excel数据文件批量导入\n导入")},
        {CmdHomePage, QStringLiteral("打开公司网站主页\n主页")},
        {CmdScaleSettings, QStringLiteral("设置本机电子秤参数\n电秤")},
        {CmdProgramSettings, QStringLiteral("设置本程序运行数据\n设置")},
        {CmdShowPreQuery, QStringLiteral("查询已上传未处理的预录单信息\n预查")},
        {CmdPrintHistory, QStringLiteral("查看打印记录，再次打印\n记录")},
        {CmdShowDayReport, QStringLiteral("日结-当日业务汇总、与服务器核对、打印交接单\n日结")},
        {CmdChooseManifestTemplate, QStringLiteral("选择交接单模版\n交接单")},
        {CmdOpenLogFolder, QStringLiteral("打开支持日志所在的文件夹\n日志")},
    };
    return texts;
}

const Command kPages[] = {CmdShowPreInput,   CmdShowRecordCheck, CmdShowScan,     CmdShowContacts,
                          CmdShowSettlement, CmdShowPreQuery,    CmdShowDayReport};
constexpr int kPageCount = static_cast<int>(std::size(kPages));

} // namespace

bool FrameCommands::IsEnabled(Command command, const FrameState &s)
{
    const PageFlags &f = s.flags;
    const bool page = s.page >= 0;
    const bool formShown = page && !f.formHidden;
    switch (command) {
    case CmdSave:
        return page && f.canSave;
    case CmdDelete:
        return page && f.canDelete && (formShown || s.page == 5);
    case CmdSettlementSummary:
        return s.loggedIn && s.customerNumber > 0;
    case CmdPrice:
        return s.page == 0 && !s.uploading;
    case CmdTidyNumbers:
    case CmdPrintLabels:
    case CmdPrintInvoices:
    case CmdInvoicesToFile:
        return s.page == 0;
    case CmdPrint:
        return page && s.listHasRows && f.canPrint;
    case CmdPrintWaybills:
        return s.page == 0 || s.page == 1;
    case CmdQuery:
        return page && f.canQuery;
    case CmdCopy:
        return formShown;
    case CmdPaste:
        return formShown && f.canPaste;
    case CmdImport:
        return s.page == 0 || s.page == 3;
    case CmdExport:
        return page && s.listHasRows && f.canExport;
    case CmdUpload:
        return page && f.canUpload && !s.uploading;
    case CmdNew:
        return page && f.canCreate;
    default:
        return true;
    }
}

bool FrameCommands::IsChecked(Command command, const FrameState &s)
{
    if (command == CmdToggleToolbar)
        return s.toolbarShown;
    if (command == CmdToggleStatusBar)
        return s.statusBarShown;
    const int page = PageOf(command);
    return page >= 0 && page == s.page;
}

QString FrameCommands::PromptText(Command command)
{
    return promptTexts().value(command);
}

QString FrameCommands::Label(Command command)
{
    const QString text = PromptText(command);
    const qsizetype brk = text.indexOf(u'\n');
    return brk < 0 ? QString() : text.mid(brk + 1);
}

QString FrameCommands::Help(Command command)
{
    const QString text = PromptText(command);
    return text.left(text.indexOf(u'\n'));
}

QList<Command> FrameCommands::ToolbarLayout()
{
    return {CmdHomePage,       CmdSeparator,    CmdNew,           CmdQuery,        CmdRefresh,
            CmdSeparator,      CmdSave,         CmdDelete,        CmdSeparator,    CmdCopy,
            CmdPaste,          CmdSeparator,    CmdShowPreInput,  CmdShowPreQuery, CmdShowRecordCheck,
            CmdShowSettlement, CmdShowScan,     CmdShowDayReport, CmdSeparator,    CmdShowContacts,
            CmdSeparator,      CmdImport,       CmdExport,        CmdPrint,        CmdSeparator,
            CmdSelectAll,      CmdUpload,       CmdUploadFrame0,  CmdUploadFrame1, CmdUploadFrame2,
            CmdUploadFrame3,   CmdUploadFrame4, CmdUploadFrame5};
}

QList<Command> FrameCommands::AnimationFrames()
{
    return {CmdUploadFrame0, CmdUploadFrame1, CmdUploadFrame2, CmdUploadFrame3, CmdUploadFrame4, CmdUploadFrame5};
}

bool FrameCommands::IsAnimationFrame(Command command)
{
    return AnimationFrames().contains(command);
}

int FrameCommands::PageOf(Command command)
{
    for (int i = 0; i < kPageCount; ++i)
        if (kPages[i] == command)
            return i;
    return -1;
}

Command FrameCommands::ShowingCommand(int page)
{
    return page >= 0 && page < kPageCount ? kPages[page] : CmdSeparator;
}

} // namespace quarvel
