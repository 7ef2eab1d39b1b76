#include "query/CRecordCheckPane.h"

#include "app/ClientContext.h"
#include "print/DocumentPrinter.h"
#include "print/PagePrintRunner.h"
#include "print/PreInputPrinting.h"
#include "print/PrintBatch.h"
#include "query/CInfoPage.h"
#include "query/CRecordQueryDlg.h"
#include "query/ShipmentInfoQuery.h"
#include "text/Gbk.h"

namespace quarvel {

CRecordCheckPane::CRecordCheckPane(PageEnv &env, QWidget *parent)
    : CServerListPane(env, ServerListKind::Records, parent)
{
    info_ = new CInfoPage(this);
    setLeftForm(info_, CInfoPage::kWidth);
    connect(info_, &CInfoPage::closeRequested, this, [this] { HideForm(); });
    printing_ = std::make_unique<PagePrintRunner>(env, this);
    connect(printing_.get(), &PagePrintRunner::documentPrinted, this, &CRecordCheckPane::documentPrinted);
    connect(printing_.get(), &PagePrintRunner::printingEnded, this, &CRecordCheckPane::printingEnded);
}

CRecordCheckPane::~CRecordCheckPane() = default;

void CRecordCheckPane::QueryInformation()
{
    ClientContext &context = env().context;
    CRecordQueryDlg dialog(form_, context.baseData(), context.promptPhrases().phrases(), env().prompter, this);
    // "取消关闭" leaves the values as they were before the dialog opened.
    const auto kept = form_.values();
    if (runDialog(dialog) != QDialog::Accepted) {
        form_.values() = kept;
        return;
    }
    StartQuery(Gbk::fromUnicode(form_.Condition(context.session().clientId(), context.baseData())));
}

void CRecordCheckPane::OpenRow(int row)
{
    const int id = list().GetRowId(row);
    if (id > 0)
        ShowShipmentInfo(id);
}

bool CRecordCheckPane::ShowShipmentInfo(int recordId)
{
    const ShipmentInfoQuery::Result r = ShipmentInfoQuery::Fetch(env().context.session(), recordId);
    if (!r.found) {
        env().prompter.error(QString(), r.message);
        return false;
    }
    info_->ShowInfo(r.info, serverHost());
    SetFormHidden(false);
    return true;
}

bool CRecordCheckPane::printBusy() const
{
    return printing_->busy();
}

void CRecordCheckPane::setPreview(PrintPreview *preview)
{
    printing_->setPreview(preview);
}

void CRecordCheckPane::PrintWaybills()
{
    if (printBusy())
        return;
    QList<int> ids;
    CollectSelectedIds(ids);
    const PreInputPrinting::Plan plan =
        PreInputPrinting(env().context, env().prompter).PlanServerWaybills(ids, list().rowCount());
    if (plan.ids.isEmpty())
        return;
    if (!plan.batch) {
        printing_->printOne([&plan](DocumentPrinter &printer) { return printer.PrintServerWaybill(plan.ids.first()); });
        return;
    }
    auto batch = std::make_unique<PrintBatch>(env().context);
    QString message;
    if (!batch->AddServerWaybills(plan.ids, &message)) {
        env().prompter.warning(QString(), message);
        return;
    }
    printing_->startBatch(std::move(batch), QStringLiteral("批量打印面单"));
}

} // namespace quarvel
