#include "print/PrintBatch.h"
#include "PrintContextFixture.h"
#include "core/excel/RecordingEngine.h"
#include "excel/ExcelSession.h"
#include "excel/PrintDestination.h"
#include "print/DocumentPrinter.h"
#include "print/PrintPreview.h"
#include "print/Reprint.h"

#include <QDir>

#include <functional>

using namespace quarvel;

namespace {

// Fails the opening of one document of the run (counting from 1).
class FlakyEngine : public RecordingEngine {
public:
    int failOpening = 0;
    int opened = 0;

    std::unique_ptr<SpreadsheetDocument> open(const QString &path, Access access, QString *errorText) override
    {
        if (++opened == failOpening) {
            *errorText = QStringLiteral("文件打开失败");
            return nullptr;
        }
        return RecordingEngine::open(path, access, errorText);
    }
};

class Collect : public PrintBatch::Display {
public:
    void documentDone(const PrintBatch::Report &r) override { reports.append(r); }
    void batchEnded(const PrintBatch::Ending &e) override { ending = e; }

    QList<PrintBatch::Report> reports;
    PrintBatch::Ending ending;
};

class AnswerPreview : public PrintPreview {
public:
    explicit AnswerPreview(bool print) : print_(print) {}
    bool Confirm(const QString &pdf, const QString &title) override
    {
        shown << pdf + u' ' + title;
        return print_;
    }
    QStringList shown;

private:
    bool print_;
};

// Changes the record files from the display, as the window may while a
// batch runs: `change` is called after the document with that count is reported.
class ChangingDisplay : public Collect {
public:
    std::function<void(int done)> change;
    void documentDone(const PrintBatch::Report &r) override
    {
        Collect::documentDone(r);
        if (change)
            change(r.done);
    }
};

struct Batches : PrintContextFixture {
    Batches()
    {
        context.setSpreadsheetEngine(&engine);
        PrintDestination::Folder(root.file(QStringLiteral("printed"))).Save(root.path());
    }

    Collect run(PrintBatch &batch)
    {
        Collect c;
        EXPECT_TRUE(batch.Start());
        batch.DrainUntilEnded(c);
        return c;
    }

    QStringList printedFiles() const { return QDir(root.file(QStringLiteral("printed"))).entryList(QDir::Files); }

    void renameReceiver(int id, const QString &receiver)
    {
        PreInputRecord edited = *context.preInputs().Find(id);
        Gbk::setField(edited.creceiver, receiver);
        ASSERT_GT(context.preInputs().WriteAt(context.preInputs().FindIndexById(id), &edited), 0);
    }

    // The texts written into each document, in document order.
    QList<QStringList> documentTexts() const
    {
        QList<QStringList> docs;
        for (const QString &line : engine.log) {
            if (line.startsWith(QLatin1String("open ")))
                docs.append(QStringList());
            else if (line.startsWith(QLatin1String("setText ")) && !docs.isEmpty())
                docs.last().append(line.section(u' ', 2));
        }
        return docs;
    }

    FlakyEngine engine;
};

} // namespace

TEST_F(Batches, EveryWaybillBecomesAPdfInTheFolderAndALedgerLine)
{
    const int a = addRecord(QStringLiteral("DE90123000001"));
    const int b = addRecord(QStringLiteral("DE90123000002"), QStringLiteral("王五"));
    PrintBatch batch(context);
    ASSERT_TRUE(batch.AddWaybills({a, b, 999}));
    EXPECT_EQ(batch.size(), 3) << "a record is looked for when its turn comes";
    const Collect c = run(batch);
    ASSERT_EQ(c.reports.size(), 3);
    EXPECT_EQ(c.ending.printed, 2);
    EXPECT_EQ(c.ending.skipped, 1);
    EXPECT_EQ(c.reports[2].outcome.status, PrintOutcome::Status::Skipped);
    EXPECT_EQ(c.reports[0].waybill, QStringLiteral("DE90123000001"));
    EXPECT_EQ(c.reports[1].done, 2);
    EXPECT_EQ(c.reports[1].total, 3);
    EXPECT_EQ(c.reports[1].outcome.file, root.file(QStringLiteral("printed/面单_DE90123000002.pdf")));
    EXPECT_EQ(printedFiles(),
              (QStringList{QStringLiteral("面单_DE90123000001.pdf"), QStringLiteral("面单_DE90123000002.pdf")}));
    EXPECT_TRUE(engine.cells.values().contains(QStringLiteral("王五")));
    EXPECT_FALSE(engine.log.filter(QStringLiteral("save")).size()) << "a working file deleted at once is not saved";
    EXPECT_TRUE(QDir(context.tempFolder()).entryList({QStringLiteral("BILL_*")}).isEmpty());
    const QList<PrintLedger::Entry> ledger = context.printLedger().Recent();
    ASSERT_EQ(ledger.size(), 2);
    EXPECT_EQ(ledger[0].waybill, QStringLiteral("DE90123000002"));
    EXPECT_EQ(ledger[0].kind, QStringLiteral("面单"));
    EXPECT_EQ(ledger[0].templateName, QStringLiteral("默认面单"));
    EXPECT_EQ(ledger[0].pdf, c.reports[1].outcome.file);
}

TEST_F(Batches, AFailingDocumentIsReportedAndTheRestStillPrints)
{
    QList<int> ids;
    for (int i = 1; i <= 3; ++i)
        ids << addRecord(QStringLiteral("DE9012300000%1").arg(i));
    engine.failOpening = 2;
    PrintBatch batch(context);
    batch.AddWaybills(ids);
    const Collect c = run(batch);
    ASSERT_EQ(c.reports.size(), 3);
    EXPECT_TRUE(c.reports[0].outcome.ok());
    EXPECT_FALSE(c.reports[1].outcome.ok());
    EXPECT_EQ(c.reports[1].outcome.message, QStringLiteral("文件打开失败"));
    EXPECT_TRUE(c.reports[2].outcome.ok());
    EXPECT_EQ(c.ending.printed, 2);
    EXPECT_EQ(c.ending.failed, 1);
    EXPECT_EQ(context.printLedger().Recent().size(), 2);
}

TEST_F(Batches, WithoutAnOfficeNothingIsPrinted)
{
    engine.startWorks = false;
    PrintBatch batch(context);
    batch.AddWaybills({addRecord(QStringLiteral("DE90123000001"))});
    const Collect c = run(batch);
    EXPECT_TRUE(c.reports.isEmpty());
    EXPECT_EQ(c.ending.startFailure, ExcelSession::CannotStartText());
    EXPECT_TRUE(printedFiles().isEmpty());
}

TEST_F(Batches, SavedInvoicesAreKeptUnderTheirWaybillNumber)
{
    const int a = addRecord(QStringLiteral("DE90123000001"));
    PrintBatch batch(context);
    ASSERT_TRUE(batch.AddInvoices({a, a}, InvoiceSheet::Mode::KeepFile));
    const Collect c = run(batch);
    ASSERT_EQ(c.reports.size(), 2);
    const QString kept = QDir(context.tempFolder()).filePath(QStringLiteral("INVOICE_DE90123000001.xls"));
    EXPECT_EQ(c.reports[1].outcome.status, PrintOutcome::Status::Saved);
    EXPECT_EQ(c.reports[1].outcome.file, kept);
    EXPECT_TRUE(QFileInfo::exists(kept)) << "the second save replaced the first without asking";
    EXPECT_TRUE(printedFiles().isEmpty());
    EXPECT_TRUE(context.printLedger().Recent().isEmpty()) << "saving is no printout";
}

TEST_F(Batches, SavedInvoicesOfNumbersThatLookAlikeAsFileNamesAreKeptApart)
{
    const int slash = addRecord(QStringLiteral("A/B"));
    const int underscore = addRecord(QStringLiteral("A_B"));
    const int percent = addRecord(QStringLiteral("A%2FB"));
    QStringList kept;
    for (const int id : {slash, underscore, percent}) {
        const PrintOutcome o = DocumentPrinter(context).OutputInvoice(id, InvoiceSheet::Mode::KeepFile);
        ASSERT_EQ(o.status, PrintOutcome::Status::Saved) << o.message.toStdString();
        kept << QFileInfo(o.file).fileName();
    }
    EXPECT_EQ(kept, (QStringList{QStringLiteral("INVOICE_A%2FB.xls"), QStringLiteral("INVOICE_A_B.xls"),
                                 QStringLiteral("INVOICE_A%252FB.xls")}));
    EXPECT_EQ(QDir(context.tempFolder()).entryList({QStringLiteral("INVOICE_*")}).size(), 3);
    EXPECT_EQ(InvoiceSheet::KeptName(QStringLiteral("..\\x:y")), QStringLiteral("INVOICE_%2E.%5Cx%3Ay.xls"));
}

TEST_F(Batches, APreviewThatIsDroppedPrintsNothing)
{
    const int a = addRecord(QStringLiteral("DE90123000001"));
    AnswerPreview no(false);
    PrintOutcome o = DocumentPrinter(context, &no).PrintWaybill(a);
    EXPECT_EQ(o.status, PrintOutcome::Status::Cancelled);
    ASSERT_EQ(no.shown.size(), 1);
    EXPECT_TRUE(no.shown[0].endsWith(QStringLiteral("面单_DE90123000001")));
    EXPECT_TRUE(printedFiles().isEmpty());
    AnswerPreview yes(true);
    o = DocumentPrinter(context, &yes).PrintWaybill(a);
    EXPECT_EQ(o.status, PrintOutcome::Status::Printed);
    EXPECT_EQ(o.ledgerNumber, 1);
    EXPECT_EQ(DocumentPrinter(context).PrintWaybill(999).message, QString()) << "a missing record fails silently";
}

TEST_F(Batches, APrintoutIsPrintedAgainFromItsPdf)
{
    const PrintOutcome first = DocumentPrinter(context).PrintWaybill(addRecord(QStringLiteral("DE90123000001")));
    ASSERT_TRUE(first.ok());
    const PrintOutcome again = Reprint::Again(context, first.ledgerNumber, 2);
    ASSERT_TRUE(again.ok()) << again.message.toStdString();
    EXPECT_EQ(again.file, first.file) << "already in the destination folder";
    const QList<PrintLedger::Entry> ledger = context.printLedger().Recent();
    ASSERT_EQ(ledger.size(), 2);
    EXPECT_EQ(ledger[0].copies, 2);
    EXPECT_EQ(ledger[0].waybill, QStringLiteral("DE90123000001"));
    // A PDF removed by hand is made anew from its record.
    QFile::remove(first.file);
    const PrintOutcome anew = Reprint::Again(context, 1);
    ASSERT_TRUE(anew.ok()) << anew.message.toStdString();
    EXPECT_TRUE(QFileInfo::exists(anew.file));
    EXPECT_EQ(anew.ledgerNumber, 3);
    EXPECT_EQ(Reprint::Again(context, 77).message, QStringLiteral("打印记录 77 不存在。"));
}

TEST_F(Batches, APrintoutTheLedgerCannotRecordSaysSoWithTheCause)
{
    const int a = addRecord(QStringLiteral("DE90123000001"));
    const PrintOutcome recorded = DocumentPrinter(context).PrintWaybill(a);
    ASSERT_EQ(recorded.ledgerNumber, 1);
    EXPECT_TRUE(recorded.message.isEmpty());
    // The ledger stays readable, but no change of it can be made.
    ASSERT_TRUE(QFile::remove(root.file(QStringLiteral("DATA_SYS/printlog.txt.lock"))));
    ASSERT_TRUE(QDir().mkpath(root.file(QStringLiteral("DATA_SYS/printlog.txt.lock"))));

    const PrintOutcome first = DocumentPrinter(context).PrintWaybill(a);
    EXPECT_EQ(first.status, PrintOutcome::Status::Printed) << "the paper came out all the same";
    EXPECT_EQ(first.ledgerNumber, 0);
    EXPECT_TRUE(first.message.startsWith(QStringLiteral("已打印，但打印记录没能写入"))) << first.message.toStdString();
    EXPECT_TRUE(first.message.contains(QStringLiteral("DATA_SYS/printlog.txt"))) << first.message.toStdString();
    EXPECT_TRUE(first.message.contains(QStringLiteral("Is a directory"))) << "with the system's reason";

    const PrintOutcome again = Reprint::Again(context, 1);
    EXPECT_TRUE(again.ok()) << again.message.toStdString();
    EXPECT_TRUE(again.message.startsWith(QStringLiteral("已打印，但打印记录没能写入")));
    EXPECT_EQ(context.printLedger().All().size(), 1);
}

TEST_F(Batches, EachRecordIsReadWhenItsTurnComesSoChangesMadeDuringTheRunArePrinted)
{
    const int a = addRecord(QStringLiteral("DE90123000001"), QStringLiteral("王五"));
    const int b = addRecord(QStringLiteral("DE90123000002"), QStringLiteral("赵六"));
    const int c = addRecord(QStringLiteral("DE90123000003"), QStringLiteral("孙八"));
    PrintBatch waybills(context);
    ASSERT_TRUE(waybills.AddWaybills({a, b, c}));
    renameReceiver(a, QStringLiteral("王五五"));
    ChangingDisplay d;
    d.change = [&](int done) {
        if (done != 1)
            return;
        renameReceiver(b, QStringLiteral("钱七"));
        context.preInputs().DeleteById(c);
    };
    ASSERT_TRUE(waybills.Start());
    waybills.DrainUntilEnded(d);
    ASSERT_EQ(d.reports.size(), 3);
    const QList<QStringList> docs = documentTexts();
    ASSERT_EQ(docs.size(), 2) << "the deleted record opens no document";
    EXPECT_TRUE(docs[0].contains(QStringLiteral("王五五"))) << "an edit made after adding, before the start";
    EXPECT_TRUE(docs[1].contains(QStringLiteral("钱七"))) << "an edit made while the batch ran";
    EXPECT_FALSE(docs[1].contains(QStringLiteral("赵六")));
    EXPECT_TRUE(d.reports[1].outcome.ok());
    EXPECT_EQ(d.reports[2].outcome.status, PrintOutcome::Status::Skipped);
    EXPECT_EQ(d.reports[2].outcome.message, PrintBatch::GoneText());
    ASSERT_EQ(d.reports[2].gone.size(), 1);
    EXPECT_EQ(d.reports[2].gone[0].id, c);
    EXPECT_EQ(d.reports[2].gone[0].waybill, QStringLiteral("DE90123000003")) << "named as it was selected";
    EXPECT_EQ(d.ending.printed, 2);
    EXPECT_EQ(d.ending.skipped, 1);
    EXPECT_EQ(d.ending.failed, 0);
    EXPECT_EQ(printedFiles().size(), 2);
}

TEST_F(Batches, AnInvoiceWhoseRecordIsDeletedBeforeItsTurnIsSkippedAndTheNextOneStillPrints)
{
    const int a = addRecord(QStringLiteral("DE90123000001"));
    const int b = addRecord(QStringLiteral("DE90123000002"));
    const int c = addRecord(QStringLiteral("DE90123000003"), QStringLiteral("周九"));
    PrintBatch invoices(context);
    ASSERT_TRUE(invoices.AddInvoices({a, b, c}, InvoiceSheet::Mode::Print));
    ChangingDisplay d;
    d.change = [&](int done) {
        if (done == 1) {
            context.preInputs().DeleteById(b);
            renameReceiver(c, QStringLiteral("吴十"));
        }
    };
    ASSERT_TRUE(invoices.Start());
    invoices.DrainUntilEnded(d);
    ASSERT_EQ(d.reports.size(), 3);
    EXPECT_EQ(d.reports[1].outcome.status, PrintOutcome::Status::Skipped);
    EXPECT_TRUE(d.reports[2].outcome.ok());
    EXPECT_TRUE(documentTexts().last().join(u'|').contains(QStringLiteral("吴十"))) << "the edit made meanwhile";
    EXPECT_EQ(printedFiles(), (QStringList{QStringLiteral("形式发票_DE90123000001.pdf"),
                                           QStringLiteral("形式发票_DE90123000003.pdf")}));
}

TEST_F(Batches, ABatchDroppedWhileItsWorkerWaitsForARecordEndsWithoutPrinting)
{
    {
        PrintBatch batch(context);
        batch.AddWaybills({addRecord(QStringLiteral("DE90123000001"))});
        ASSERT_TRUE(batch.Start());
        // Nobody drains: the worker waits for the record until the batch goes.
        ASSERT_TRUE(batch.WaitForEvents(5000));
    }
    EXPECT_TRUE(printedFiles().isEmpty());
}
