#include "query/CPreQueryPane.h"

#include "app/ClientContext.h"
#include "query/CInfoPage.h"
#include "query/PreEntryDeletion.h"
#include "text/Gbk.h"

namespace quarvel {

namespace {

// Columns of the pre-entry list.
enum { Waybill = 2, Sender = 9, Receiver = 10, Phone = 11, Goods = 12, Uploaded = 13 };

} // namespace

CPreQueryPane::CPreQueryPane(PageEnv &env, QWidget *parent) : CServerListPane(env, ServerListKind::PreEntries, parent)
{
    info_ = new CInfoPage(this);
    setLeftForm(info_, CInfoPage::kWidth);
    connect(info_, &CInfoPage::closeRequested, this, [this] { HideForm(); });
}

void CPreQueryPane::QueryInformation()
{
    StartQuery(Gbk::fromUnicode(ServerList::PreEntryCondition(env().context.session().clientId())));
}

void CPreQueryPane::DeleteRecord()
{
    QList<int> ids;
    for (const int row : listCtrl().selectedRowIndexes())
        ids.append(list().GetRowId(row));
    const PreEntryDeletion::Result r = PreEntryDeletion::Run(env().context.session(), ids, env().prompter);
    if (r.outcome == PreEntryDeletion::Outcome::Deleted || r.deleted > 0)
        FetchPage(1, true);
}

void CPreQueryPane::OpenRow(int row)
{
    // The server keeps no information page for a pre-entry it has not
    // processed: the page shows the row's own values.
    ShipmentInfo info;
    info.recordId = list().GetRowId(row);
    info.waybill = list().cell(row, Waybill).trimmed();
    info.entryTime = list().cell(row, Uploaded);
    info.goods = list().cell(row, Goods);
    info.receiver.name = list().cell(row, Receiver);
    info.receiver.phone = list().cell(row, Phone);
    info.sender.name = list().cell(row, Sender);
    info_->ShowInfo(info, serverHost());
    SetFormHidden(false);
}

void CPreQueryPane::rowsChanged()
{
    CServerListPane::rowsChanged();
    mutableFlags().canDelete = list().rowCount() > 0;
    publishFlags();
}

} // namespace quarvel
