#include "print/Reprint.h"

#include "app/ClientContext.h"
#include "excel/PrintDestination.h"
#include "print/PrintLedger.h"

#include <QFileInfo>

namespace quarvel {

PrintOutcome Reprint::Again(ClientContext &context, int ledgerNumber, int copies)
{
    PrintLedger::Entry entry;
    if (!context.printLedger().Find(ledgerNumber, entry))
        return PrintOutcome::Failure(QStringLiteral("打印记录 %1 不存在。").arg(ledgerNumber));
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
