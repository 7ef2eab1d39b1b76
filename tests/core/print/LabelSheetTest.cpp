#include "print/LabelSheet.h"
#include "PrintContextFixture.h"
#include "core/excel/RecordingEngine.h"
#include "excel/PrintDestination.h"
#include "print/PreInputPrinting.h"
#include "print/PrintBatch.h"

#include <QDir>
#include <QMap>

#include <functional>

using namespace quarvel;

namespace {

class Collect : public PrintBatch::Display {
public:
    void documentDone(const PrintBatch::Report &r) override { reports.append(r); }
    void batchEnded(const PrintBatch::Ending &e) override { ending = e; }

    QList<PrintBatch::Report> reports;
    PrintBatch::Ending ending;
};

// The shipped label template: 2 labels across, 5 down, each 6 columns and
// 13 rows with a gap of one; the barcode cell of label 0 is B2, its number
// under it B3, the receiver C6.
struct LabelSheets : PrintContextFixture {
    LabelSheets()
    {
        context.setSpreadsheetEngine(&engine);
        PrintDestination::Folder(root.file(QStringLiteral("printed"))).Save(root.path());
    }

    static QString number(int i) { return QStringLiteral("DE9012300%1").arg(i, 4, 10, QLatin1Char('0')); }

    QList<int> addRecords(int count)
    {
        QList<int> ids;
        for (int i = 1; i <= count; ++i)
            ids << addRecord(number(i));
        return ids;
    }

    Collect print(const QList<int> &ids)
    {
        PrintBatch batch(context);
        EXPECT_TRUE(batch.AddLabelSheets(ids));
        Collect c;
        EXPECT_TRUE(batch.Start());
        batch.DrainUntilEnded(c);
        return c;
    }

    // The cells each document received, "row,column" -> text, in document order.
    QList<QMap<QString, QString>> documents() const
    {
        QList<QMap<QString, QString>> docs;
        for (const QString &line : engine.log) {
            if (line.startsWith(QLatin1String("open ")))
                docs.append(QMap<QString, QString>());
            else if (line.startsWith(QLatin1String("setText ")) && !docs.isEmpty())
                docs.last().insert(line.section(u' ', 1, 1), line.section(u' ', 2));
        }
        return docs;
    }

    // A cell of label 0 ("row,column") as it stands on another label.
    static QString onLabel(int label, int row, int column)
    {
        return QStringLiteral("%1,%2").arg(row + label / 2 * 14).arg(column + label % 2 * 7);
    }
    static QString barcodeCell(int label) { return onLabel(label, 2, 2); }
    static QString receiverCell(int label) { return onLabel(label, 6, 3); }

    RecordingEngine engine;
};

} // namespace

TEST_F(LabelSheets, SevenRecordsFillLabelsZeroToSixOfOneSheet)
{
    const Collect c = print(addRecords(7));
    ASSERT_EQ(c.reports.size(), 1);
    EXPECT_EQ(c.ending.printed, 1);
    const QList<QMap<QString, QString>> docs = documents();
    ASSERT_EQ(docs.size(), 1);
    for (int label = 0; label < 7; ++label)
        EXPECT_EQ(docs[0].value(barcodeCell(label)), u'*' + number(label + 1) + u'*') << label;
    for (int label = 7; label < 10; ++label)
        EXPECT_FALSE(docs[0].contains(barcodeCell(label))) << "label " << label << " stays empty";
    EXPECT_EQ(docs[0].value(receiverCell(0)), QStringLiteral("李四")) << "the pattern without a company";
    EXPECT_FALSE(docs[0].contains(receiverCell(7))) << "label 7 gets nothing";
    EXPECT_EQ(docs[0].value(onLabel(6, 3, 2)), number(7)) << "the number under the barcode of label 6";
    EXPECT_EQ(c.reports[0].outcome.file,
              root.file(QStringLiteral("printed/标签_") + number(1) + u'-' + number(7) + QStringLiteral(".pdf")));
    const QList<PrintLedger::Entry> ledger = context.printLedger().Recent();
    ASSERT_EQ(ledger.size(), 1);
    EXPECT_EQ(ledger[0].kind, QStringLiteral("标签"));
    EXPECT_EQ(ledger[0].templateName, QStringLiteral("默认标签"));
    EXPECT_TRUE(ledger[0].waybill.startsWith(number(1) + u',' + number(2) + u','));
    EXPECT_TRUE(QDir(context.tempFolder()).entryList({QStringLiteral("BILL_*")}).isEmpty());
}

TEST_F(LabelSheets, TwentyOneRecordsGiveThreeSheetsThePrintingWorkerReportsOneByOne)
{
    const QList<int> ids = addRecords(21);
    const Collect c = print(ids);
    ASSERT_EQ(c.reports.size(), 3);
    EXPECT_EQ(c.reports[0].id, ids[0]);
    EXPECT_EQ(c.reports[1].id, ids[10]);
    EXPECT_EQ(c.reports[2].id, ids[20]);
    EXPECT_EQ(c.reports[2].done, 3);
    EXPECT_EQ(c.reports[2].total, 3);
    const QList<QMap<QString, QString>> docs = documents();
    ASSERT_EQ(docs.size(), 3);
    EXPECT_EQ(docs[1].value(barcodeCell(0)), u'*' + number(11) + u'*');
    EXPECT_EQ(docs[1].value(barcodeCell(9)), u'*' + number(20) + u'*');
    EXPECT_EQ(docs[2].value(barcodeCell(0)), u'*' + number(21) + u'*');
    EXPECT_FALSE(docs[2].contains(barcodeCell(1)));
    EXPECT_EQ(QDir(root.file(QStringLiteral("printed"))).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(context.printLedger().Recent().size(), 3);
}

TEST_F(LabelSheets, RecordsGoneBeforePrintingKeepTheirPositionEmpty)
{
    QList<int> ids = addRecords(4);
    context.preInputs().DeleteById(ids[1]);
    ids.insert(2, 987654);
    const Collect c = print(ids);
    const QList<QMap<QString, QString>> docs = documents();
    ASSERT_EQ(docs.size(), 1);
    EXPECT_EQ(docs[0].value(barcodeCell(0)), u'*' + number(1) + u'*');
    EXPECT_FALSE(docs[0].contains(barcodeCell(1)));
    EXPECT_FALSE(docs[0].contains(receiverCell(1))) << "a deleted record's label stays empty";
    EXPECT_FALSE(docs[0].contains(barcodeCell(2)));
    EXPECT_EQ(docs[0].value(barcodeCell(3)), u'*' + number(3) + u'*') << "the others keep their places";
    EXPECT_EQ(docs[0].value(barcodeCell(4)), u'*' + number(4) + u'*');
    ASSERT_EQ(c.reports.size(), 1);
    EXPECT_TRUE(c.reports[0].outcome.ok());
    ASSERT_EQ(c.reports[0].gone.size(), 2);
    EXPECT_EQ(c.reports[0].gone[0].id, ids[1]);
    EXPECT_EQ(c.reports[0].gone[1].id, 987654);
    EXPECT_EQ(c.reports[0].waybill, QStringLiteral("标签_") + number(1) + u'-' + number(4));
}

TEST_F(LabelSheets, ASheetPrintsTheRecordsAsTheFileHoldsThemWhenItsTurnComes)
{
    const QList<int> ids = addRecords(13);
    PrintBatch batch(context);
    ASSERT_TRUE(batch.AddLabelSheets(ids));
    EXPECT_EQ(batch.size(), 2) << "the sheets the question announced";
    struct Changing : Collect {
        std::function<void()> afterFirst;
        void documentDone(const PrintBatch::Report &r) override
        {
            Collect::documentDone(r);
            if (r.done == 1)
                afterFirst();
        }
    } c;
    c.afterFirst = [&] {
        context.preInputs().DeleteById(ids[10]);
        PreInputRecord edited = *context.preInputs().Find(ids[11]);
        Gbk::setField(edited.creceiver, QStringLiteral("钱七"));
        context.preInputs().WriteAt(context.preInputs().FindIndexById(ids[11]), &edited);
        context.preInputs().DeleteById(ids[12]);
    };
    ASSERT_TRUE(batch.Start());
    batch.DrainUntilEnded(c);
    const QList<QMap<QString, QString>> docs = documents();
    ASSERT_EQ(docs.size(), 2);
    EXPECT_FALSE(docs[1].contains(barcodeCell(0))) << "deleted while the first sheet printed";
    EXPECT_EQ(docs[1].value(barcodeCell(1)), u'*' + number(12) + u'*');
    EXPECT_EQ(docs[1].value(receiverCell(1)), QStringLiteral("钱七"));
    EXPECT_FALSE(docs[1].contains(barcodeCell(2)));
    ASSERT_EQ(c.reports.size(), 2);
    EXPECT_EQ(c.reports[1].gone.size(), 2);
    EXPECT_EQ(c.reports[1].waybill, QStringLiteral("标签_") + number(12));
    EXPECT_EQ(c.ending.printed, 2);
}

TEST_F(LabelSheets, ASheetWhoseRecordsAreAllGoneIsNotPrinted)
{
    const QList<int> ids = addRecords(11);
    context.preInputs().DeleteById(ids[10]);
    const Collect c = print(ids);
    ASSERT_EQ(c.reports.size(), 2);
    EXPECT_EQ(c.reports[1].outcome.status, PrintOutcome::Status::Skipped) << "no blank sheet of labels";
    EXPECT_EQ(c.reports[1].gone.size(), 1);
    EXPECT_EQ(c.ending.printed, 1);
    EXPECT_EQ(c.ending.skipped, 1);
    EXPECT_EQ(documents().size(), 1);
}

TEST_F(LabelSheets, AFailedSheetIsReportedAndTheNextSheetStillPrints)
{
    const QList<int> ids = addRecords(12);
    engine.failing = QStringLiteral("pdf");
    const Collect c = print(ids);
    ASSERT_EQ(c.reports.size(), 2);
    EXPECT_FALSE(c.reports[0].outcome.ok());
    EXPECT_EQ(c.reports[0].waybill, QStringLiteral("标签_") + number(1) + u'-' + number(10));
    EXPECT_EQ(c.ending.failed, 2);
    EXPECT_TRUE(context.printLedger().Recent().isEmpty());
}

TEST_F(LabelSheets, ATemplateWithoutTheReceiverLeavesItOutOnEveryLabel)
{
    root.write(QStringLiteral("DATA_MODEL/LBL_无收件人.txt"),
               printtest::gbk("横向标签个数=2\r\n纵向标签个数=2\r\n横向每标签占有栏数=3\r\n<列表定义开始>\r\n"
                              "内单号39码=A1\r\n月结√=B2\r\n<列表定义结束>\r\n"));
    root.write(QStringLiteral("DATA_MODEL/LBL_无收件人.xls"), root.read(QStringLiteral("DATA_MODEL/LBL_默认标签.xls")));
    ASSERT_TRUE(context.templates().ChooseTemplate(TemplateKind::Label, QStringLiteral("无收件人")));
    print(addRecords(3));
    const QList<QMap<QString, QString>> docs = documents();
    ASSERT_EQ(docs.size(), 1);
    EXPECT_EQ(docs[0].keys(), (QList<QString>{QStringLiteral("1,1"), QStringLiteral("1,4"), QStringLiteral("2,1"),
                                              QStringLiteral("2,2"), QStringLiteral("2,5"), QStringLiteral("3,2")}))
        << "only the barcode and the pay way of the three labels";
    EXPECT_EQ(docs[0].value(QStringLiteral("2,5")), QStringLiteral("月结"));
}

TEST_F(LabelSheets, TheCommandAsksWithTheNumberOfSheets)
{
    PreInputPrinting printing(context, prompter);
    QList<PrintSelection::Row> rows;
    for (int i = 1; i <= 21; ++i)
        rows.append({i, number(i)});
    prompter.queueAnswer(false);
    EXPECT_TRUE(printing.PlanLabels(rows).ids.isEmpty());
    EXPECT_EQ(prompter.shown().last().title, QStringLiteral("确认提示"));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("共选中 21 条记录，\r\n共需要打印 3 页\r\n─────────────────\r\n"
                                                  "要打印[默认标签]快件标签吗? \r\n请确认！"));
    prompter.queueAnswer(true);
    const PreInputPrinting::Plan plan = printing.PlanLabels(rows.mid(0, 1));
    EXPECT_EQ(plan.ids, QList<int>{1});
    EXPECT_TRUE(plan.batch) << "even one label goes to the printing worker";
    EXPECT_TRUE(prompter.lastText().startsWith(QStringLiteral("共选中 1 条记录，\r\n共需要打印 1 页")));

    prompter.clear();
    EXPECT_TRUE(printing.PlanLabels({}).ids.isEmpty());
    EXPECT_EQ(prompter.lastText(), QStringLiteral("没有在列表中选中要打印面单的记录。"))
        << "the print selection rule that waybills follow";
    EXPECT_TRUE(printing.PlanLabels({{3, QStringLiteral("DE90123XXXXX")}}).ids.isEmpty());
    EXPECT_TRUE(prompter.lastText().startsWith(QStringLiteral("选择打印的含有未整理的运单号。")));
}

TEST(LabelSheetsWithoutTemplate, NothingIsPrintedAndTheOperatorIsTold)
{
    TempRoot root;
    ClientContext context(root.path());
    context.setShippedDataFolder(QString());
    ScriptedPrompter prompter;
    ASSERT_TRUE(context.Start(prompter));
    PreInputPrinting printing(context, prompter);
    EXPECT_TRUE(printing.PlanLabels({{1, QStringLiteral("DE90123000001")}}).ids.isEmpty());
    EXPECT_EQ(prompter.lastText(), QStringLiteral("没有选择可用的标签模版。"));
    PrintBatch batch(context);
    QString message;
    EXPECT_FALSE(batch.AddLabelSheets({1}, &message));
    EXPECT_EQ(message, QStringLiteral("没有选择可用的标签模版。"));
}
