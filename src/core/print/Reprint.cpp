#include "print/Reprint.h"

#include "app/ClientContext.h"
#include "excel/PrintDestination.h"
#include "print/DocumentPrinter.h"
#include "print/PrintLedger.h"

#include <QDir>
#include <QFileInfo>

namespace quarvel {

namespace {

const QString kWaybillKind = QStringLiteral("面单");
const QString kInvoiceKind = QStringLiteral("形式发票");

// Where the PDF went, in the operator's words.
QString goneText(const PrintLedger::Entry &e)
{
    if (e.removed.isValid())
        return QStringLiteral("已于 %1 按保存期限删除").arg(e.removed.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    return QStringLiteral("已不存在:%1").arg(QDir::toNativeSeparators(e.pdf));
}

// The printout made again from the record of its waybill number.
PrintOutcome printAnew(ClientContext &context, const PrintLedger::Entry &e)
{
    const PreInputRecord *record = e.waybill.isEmpty() ? nullptr : context.preInputs().FindLastByNumber(e.waybill);
    const bool reprintable = e.kind == kWaybillKind || e.kind == kInvoiceKind;
    if (!record || !reprintable)
        return PrintOutcome::Failure(QStringLiteral("打印记录 %1 的打印文件%2，%3，无法再次打印。")
                                         .arg(QString::number(e.number), goneText(e),
                                              reprintable
                                                  ? QStringLiteral("运单 %1 也已不在本机记录中").arg(e.waybill)
                                                  : QStringLiteral("这种打印件（%1）不能从记录重新生成").arg(e.kind)));
    const int iid = record->iid;
    DocumentPrinter printer(context);
    return e.kind == kWaybillKind ? printer.PrintWaybill(iid) : printer.OutputInvoice(iid, InvoiceSheet::Mode::Print);
}

} // namespace

PrintOutcome Reprint::Again(ClientContext &context, int ledgerNumber, int copies)
{
    PrintLedger::Entry entry;
    if (!context.printLedger().Find(ledgerNumber, entry))
        return PrintOutcome::Failure(QStringLiteral("打印记录 %1 不存在。").arg(ledgerNumber));
    if (entry.removed.isValid() || !QFileInfo(entry.pdf).isFile())
        return printAnew(context, entry);
    const QString title = QFileInfo(entry.pdf).completeBaseName();
    QString error;
    QString sent;
    if (!PrintDestination::Load(context.root()).Send(entry.pdf, copies, title, &error, &sent))
        return PrintOutcome::Failure(error);
    entry.copies = std::max(1, copies);
    entry.time = {};
    entry.pdf = sent;
    PrintOutcome outcome{PrintOutcome::Status::Printed, QString(), sent, 0};
    QString notRecorded;
    outcome.ledgerNumber = context.printLedger().Append(entry, &notRecorded);
    if (outcome.ledgerNumber == 0)
        outcome.message = PrintLedger::NotRecordedText(notRecorded);
    return outcome;
}

} // namespace quarvel
