#include "query/CServerListPane.h"

#include "app/ClientContext.h"
#include "app/Prompter.h"
#include "query/AllPagesFetch.h"

#include "shell/WorkerProgress.h"

namespace quarvel {

CServerListPane::CServerListPane(PageEnv &env, ServerListKind kind, QWidget *parent)
    : CRecordListPane(env, ServerList::Title(kind), parent), query_(kind),
      runDialog_([](QDialog &dialog) { return dialog.exec(); })
{
    list().setColumns(ServerList::Columns(kind));
    // Column 0 carries the record's number on the server's list.
    list().setNumbering(false);
    listCtrl().applyColumnWidths();
    setPaging(true);
    mutableFlags().canCreate = false;
    mutableFlags().canQuery = true;
}

bool CServerListPane::StartQuery(const QByteArray &condition)
{
    query_.setCondition(condition);
    return FetchPage(1);
}

bool CServerListPane::FetchPage(int page, bool emptyIsResult)
{
    ClientContext &context = env().context;
    if (!query_.FetchPage(context.session(), context.baseData(), page, env().prompter, emptyIsResult))
        return false;
    list().setRows(query_.current().rows);
    setPageBoxText(query_.current().PageBoxText());
    rowsChanged();
    return true;
}

QByteArray CServerListPane::serverHost()
{
    return env().context.session().CurrentServerHost();
}

void CServerListPane::rowsChanged()
{
    UpdateCaption();
    updateFlags();
}

void CServerListPane::updateFlags()
{
    mutableFlags().canExport = list().rowCount() > 0;
    mutableFlags().canPrint = mutableFlags().canExport;
    publishFlags();
}

void CServerListPane::JumpToPage(int typed)
{
    if (!query_.fetched())
        return;
    if (const int target = query_.current().JumpTarget(typed))
        FetchPage(target);
}

void CServerListPane::RefreshList()
{
    if (query_.hasCondition())
        FetchPage(query_.fetched() ? query_.current().page : 1);
}

void CServerListPane::SelectAll()
{
    const int rows = list().rowCount();
    if (listCtrl().selectedRowIndexes().size() < rows)
        listCtrl().selectAll();
    else
        listCtrl().clearSelection();
}

QString CServerListPane::captionText() const
{
    return query_.fetched() ? query_.Summary() : CRecordListPane::captionText();
}

void CServerListPane::ExportReport()
{
    if (list().rowCount() == 0)
        return;
    const int pages = query_.current().pages;
    if (pages > 1 &&
        env().prompter.ask(
            QStringLiteral("导出提示"),
            QStringLiteral("列表共 %1 页。\r\n要导出全部 %1 页的记录吗？\r\n(选“否”只导出当前页)").arg(pages))) {
        ExportAllPages();
        return;
    }
    ExportList(ServerList::ExportTitle(query_.kind()));
}

bool CServerListPane::ExportAllPages()
{
    bool text = false;
    const QString path = ChooseExportFile(&text);
    if (path.isEmpty())
        return false;
    const int pages = std::max(query_.current().pages, 1);
    WorkerProgress progress(this, QStringLiteral("导出全部页"), QStringLiteral("正在取得第 1/%1 页...").arg(pages),
                            QStringLiteral("停止"));
    const auto report = [&progress](int page, int total) {
        progress.report(page, total,
                        QStringLiteral("正在取得第 %1/%2 页...").arg(std::min(page + 1, total)).arg(total));
    };

    // The worker only reads the session and the base data; the window is
    // held by the progress window meanwhile.
    ClientContext &context = env().context;
    AllPagesFetch::Result result;
    progress.run([&] {
        result = AllPagesFetch::Run(context.session(), context.baseData(), query_.kind(), query_.condition(),
                                    progress.stopFlag(), report);
    });

    if (result.stopped) {
        env().prompter.inform(QString(), QStringLiteral("导出已停止，没有写入文件。"));
        return false;
    }
    if (!result.complete) {
        env().prompter.error(QString(), result.message);
        return false;
    }
    return WriteExport(path, text, AllPagesFetch::Snapshot(query_.kind(), result.rows));
}

} // namespace quarvel
