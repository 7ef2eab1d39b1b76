#include "print/SheetPrinter.h"

#include "app/ScriptedPrompter.h"
#include "excel/ExcelSession.h"
#include "print/PrintLedger.h"
#include "print/PrintPreview.h"
#include "print/WorkFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quarvel {

PrintOutcome SheetPrinter::Run(const Document &document, const Fill &fill) const
{
    // Nothing is asked: an older working file of the same name is replaced.
    if (document.workPath.isEmpty())
        return PrintOutcome::Failure(
            QStringLiteral("无法在%1创建打印用的工作文件。").arg(QDir::toNativeSeparators(setup_.tempFolder)));
    ScriptedPrompter silent(false);
    ExcelSession session(setup_.engine, silent, setup_.tempFolder, setup_.destination);
    session.SetConfirmOverwrite(false);
    session.SetDocumentTitle(document.title);
    if (!session.OpenFromBytes(document.sheetName, document.workPath, document.templateBytes)) {
        if (!document.keepWorkbook)
            QFile::remove(document.workPath);
        return PrintOutcome::Failure(session.GetErrorText());
    }
    fill(session);
    const bool exported = !document.print || session.ExportSheet(1, document.lastPage);
    // A working file that is deleted at once is not saved first.
    const bool kept = exported && (!document.keepWorkbook || session.SaveAndClose());
    const QString error = session.GetErrorText();
    session.Quit();
    if (!document.keepWorkbook || !kept)
        QFile::remove(document.workPath);
    if (!exported || !kept)
        return PrintOutcome::Failure(error);
    if (!document.print)
        return {PrintOutcome::Status::Saved, QString(), document.workPath, 0};
    return deliver(document, session.GetPrintedFile());
}

PrintOutcome SheetPrinter::deliver(const Document &document, const QString &pdf) const
{
    if (setup_.preview && !setup_.preview->Confirm(pdf, document.title)) {
        QFile::remove(pdf);
        return {PrintOutcome::Status::Cancelled, QString(), QString(), 0};
    }
    QString error;
    QString sent;
    if (!setup_.destination.Send(pdf, 1, document.title, &error, &sent))
        return PrintOutcome::Failure(error);
    PrintOutcome outcome{PrintOutcome::Status::Printed, QString(), sent, 0};
    if (!setup_.ledger)
        return outcome;
    QString notRecorded;
    outcome.ledgerNumber = setup_.ledger->Append(
        {0, {}, document.kind, document.waybill, document.templateName, 1, sent, {}}, &notRecorded);
    if (outcome.ledgerNumber == 0)
        outcome.message = PrintLedger::NotRecordedText(notRecorded);
    return outcome;
}

QString SheetPrinter::WorkPath(const QString &tempFolder, const QString &prefix)
{
    QDir().mkpath(tempFolder);
    return WorkFiles::Create(tempFolder, prefix);
}

} // namespace quarvel
