#include "print/PreInputPrinting.h"

#include "app/ClientContext.h"
#include "app/Prompter.h"

#include <QDir>

namespace quarvel {

namespace {

const QString kConfirm = QStringLiteral("确认提示");
const QString kRule = QStringLiteral("─────────────────");

} // namespace

PreInputPrinting::Plan PreInputPrinting::PlanWaybills(const QList<PrintSelection::Row> &selected)
{
    const PrintTemplate *waybill = context_.templates().slot(TemplateKind::Waybill);
    if (!waybill) {
        prompter_.warning(QString(), TemplateKinds::MissingText(TemplateKind::Waybill));
        return {};
    }
    return askWaybillBatch(PrintSelection::Collect(selected, prompter_), waybill->name());
}

PreInputPrinting::Plan PreInputPrinting::PlanServerWaybills(const QList<int> &recordIds, int listRows)
{
    const PrintTemplate *waybill = context_.templates().slot(TemplateKind::Waybill);
    if (!waybill) {
        prompter_.warning(QString(), TemplateKinds::MissingText(TemplateKind::Waybill));
        return {};
    }
    if (listRows == 0)
        return {};
    if (recordIds.isEmpty()) {
        prompter_.warning(QString(), PrintSelection::NothingSelectedText());
        return {};
    }
    return askWaybillBatch(recordIds, waybill->name());
}

PreInputPrinting::Plan PreInputPrinting::askWaybillBatch(const QList<int> &ids, const QString &templateName)
{
    if (ids.size() <= 1)
        return {ids, false};
    const QString question =
        QStringLiteral("共选中 %1 条记录，\r\n要批量打印[%2]面单吗? \r\n请确认！").arg(ids.size()).arg(templateName);
    if (!prompter_.ask(kConfirm, question))
        return {};
    return {ids, true};
}

PreInputPrinting::Plan PreInputPrinting::PlanLabels(const QList<PrintSelection::Row> &selected)
{
    const LabelSheetLayout &layout = context_.templates().labelLayout();
    if (!layout.IsValid()) {
        prompter_.warning(QString(), TemplateKinds::MissingText(TemplateKind::Label));
        return {};
    }
    const QList<int> ids = PrintSelection::Collect(selected, prompter_);
    if (ids.isEmpty())
        return {};
    const QString question =
        QStringLiteral("共选中 %1 条记录，\r\n共需要打印 %2 页\r\n%3\r\n要打印[%4]快件标签吗? \r\n请确认！")
            .arg(ids.size())
            .arg(layout.SheetsFor(int(ids.size())))
            .arg(kRule, layout.labelTemplate()->name());
    if (!prompter_.ask(kConfirm, question))
        return {};
    return {ids, true};
}

PreInputPrinting::Plan PreInputPrinting::PlanInvoices(const QList<int> &selected, InvoiceSheet::Mode mode)
{
    const PrintTemplate *invoice = context_.templates().slot(TemplateKind::Invoice);
    if (!invoice || !context_.templates().invoiceLayout().valid()) {
        prompter_.warning(QString(), TemplateKinds::MissingText(TemplateKind::Invoice));
        return {};
    }
    if (selected.isEmpty()) {
        prompter_.warning(QString(), QStringLiteral("没有在列表中选中要打印形式发票的记录。"));
        return {};
    }
    if (selected.size() == 1)
        return {selected, false};
    const QString verb = mode == InvoiceSheet::Mode::Print ? QStringLiteral("打印") : QStringLiteral("保存");
    const QString question = QStringLiteral("共选中 %1 条记录，\r\n%2\r\n要%3形式发票[%4]吗? \r\n请确认！")
                                 .arg(selected.size())
                                 .arg(kRule, verb, invoice->name());
    if (!prompter_.ask(kConfirm, question))
        return {};
    return {selected, true};
}

QString PreInputPrinting::SavedInvoicesText(int count, const QString &tempFolder)
{
    return QStringLiteral("共处理 %1 条记录，\r\n%2\r\n保存形式发票位置: \r\n%3")
        .arg(count)
        .arg(kRule, QDir::toNativeSeparators(QDir(tempFolder).absolutePath() + u'/'));
}

} // namespace quarvel
