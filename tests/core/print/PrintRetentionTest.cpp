#include "print/PrintRetention.h"
#include "PrintContextFixture.h"
#include "core/excel/RecordingEngine.h"
#include "excel/PrintDestination.h"
#include "print/DocumentPrinter.h"
#include "print/Reprint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace quarvel;

namespace {

struct Keeping : PrintContextFixture {
    Keeping()
    {
        context.setSpreadsheetEngine(&engine);
        PrintDestination::Folder(root.file(QStringLiteral("printed"))).Save(root.path());
    }

    void keep(const QByteArray &lines)
    {
        QFile conf(root.file(QStringLiteral("DATA_SYS/print.conf")));
        ASSERT_TRUE(conf.open(QIODevice::Append));
        conf.write(lines);
    }

    // A printed waybill whose PDF holds `bytes` bytes.
    PrintOutcome print(int id, qint64 bytes = 1000)
    {
        const PrintOutcome o = DocumentPrinter(context).PrintWaybill(id);
        EXPECT_TRUE(o.ok()) << o.message.toStdString();
        QFile pdf(o.file);
        EXPECT_TRUE(pdf.open(QIODevice::WriteOnly));
        pdf.write(QByteArray(bytes, 'p'));
        return o;
    }

    QList<int> removedNumbers()
    {
        QList<int> numbers;
        for (const PrintLedger::Entry &e : PrintLedger(context.printLedger().path()).All())
            if (e.removed.isValid())
                numbers << e.number;
        return numbers;
    }

    RecordingEngine engine;
};

} // namespace

TEST(PrintRetentionSettings, DefaultsAndWhatIsWrongWithTheLines)
{
    QStringList damage;
    PrintRetention::Limits limits = PrintRetention::Parse("printer=\n", &damage);
    EXPECT_EQ(limits.days, 90);
    EXPECT_EQ(limits.megabytes, 2048);
    EXPECT_TRUE(damage.isEmpty());
    limits = PrintRetention::Parse("keep_days = 7\nKEEP_MB=50\n", &damage);
    EXPECT_EQ(limits.days, 7);
    EXPECT_EQ(limits.megabytes, 50);
    limits = PrintRetention::Parse("keep_days=-1\nkeep_mb=lots\n", &damage);
    EXPECT_EQ(limits.days, 90);
    EXPECT_EQ(limits.megabytes, 2048);
    EXPECT_EQ(damage.size(), 2);
    QStringList destinationDamage;
    PrintDestination::Parse(QStringLiteral("/r"), "keep_days=7\nkeep_mb=50\nfolder=x\n", &destinationDamage);
    EXPECT_TRUE(destinationDamage.isEmpty()) << "the destination passes the keeping lines by";
}

TEST_F(Keeping, PdfsPastTheirDaysGoAreMarkedAndPrintAgainMakesThemAnewWhileTheRecordIsHere)
{
    keep("keep_days=30\n");
    PrintDestination::Folder(root.file(QStringLiteral("printed"))).Save(root.path());
    EXPECT_EQ(PrintRetention::Load(root.path()).days, 30) << "saving the destination kept the keeping line";
    const int a = addRecord(QStringLiteral("DE90123000001"));
    const int b = addRecord(QStringLiteral("DE90123000002"));
    const PrintOutcome first = print(a);
    const PrintOutcome second = print(b);
    const QDateTime now = QDateTime::currentDateTime();

    PrintRetention::Pruned pruned = PrintRetention::Prune(context.printLedger(), {30, 2048}, now.addDays(29));
    EXPECT_EQ(pruned.files, 0);
    EXPECT_TRUE(QFileInfo::exists(first.file));

    pruned = PrintRetention::Prune(context.printLedger(), {30, 2048}, now.addDays(31));
    EXPECT_EQ(pruned.files, 2);
    EXPECT_EQ(pruned.bytes, 2000);
    EXPECT_TRUE(pruned.error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(first.file));
    EXPECT_FALSE(QFileInfo::exists(second.file));
    EXPECT_EQ(removedNumbers(), (QList<int>{1, 2}));

    context.preInputs().DeleteById(b);
    const PrintOutcome anew = Reprint::Again(context, first.ledgerNumber);
    ASSERT_TRUE(anew.ok()) << anew.message.toStdString();
    EXPECT_EQ(anew.ledgerNumber, 3);
    EXPECT_TRUE(QFileInfo::exists(anew.file));
    EXPECT_TRUE(engine.cells.values().contains(QStringLiteral("DE90123000001")));
    const PrintOutcome gone = Reprint::Again(context, second.ledgerNumber);
    EXPECT_FALSE(gone.ok());
    EXPECT_TRUE(gone.message.contains(QStringLiteral("按保存期限删除"))) << gone.message.toStdString();
    EXPECT_TRUE(gone.message.contains(QStringLiteral("运单 DE90123000002 也已不在本机记录中")));
    EXPECT_EQ(context.printLedger().All().size(), 3) << "nothing printed, nothing recorded";
}

TEST_F(Keeping, TheOldestGoWhileAllTogetherTakeMoreThanTheSizeAndStartUpPrunes)
{
    const int a = addRecord(QStringLiteral("DE90123000001"));
    const PrintOutcome oldest = print(a, 600 * 1024);
    const PrintOutcome middle = print(a, 600 * 1024);
    const PrintOutcome newest = print(a, 600 * 1024);
    ASSERT_EQ(QDir(root.file(QStringLiteral("printed"))).entryList(QDir::Files).size(), 3);
    // A file the operator keeps in the folder is no printout of the ledger.
    root.write(QStringLiteral("printed/mine.pdf"), QByteArray(3 * 1024 * 1024, 'm'));

    keep("keep_mb=1\n");
    ClientContext restarted(root.path());
    restarted.setClock([] { return QDateTime::currentDateTime(); });
    ScriptedPrompter shown;
    context.Shutdown();
    ASSERT_TRUE(restarted.Start(shown));
    EXPECT_FALSE(QFileInfo::exists(oldest.file));
    EXPECT_FALSE(QFileInfo::exists(middle.file));
    EXPECT_TRUE(QFileInfo::exists(newest.file));
    EXPECT_TRUE(QFileInfo::exists(root.file(QStringLiteral("printed/mine.pdf"))));
    EXPECT_EQ(removedNumbers(), (QList<int>{1, 2}));
    EXPECT_TRUE(shown.texts().isEmpty()) << shown.texts().join(u'|').toStdString();

    keep("keep_days=zero\n");
    ScriptedPrompter warned;
    ClientContext again(root.path());
    restarted.Shutdown();
    ASSERT_TRUE(again.Start(warned));
    EXPECT_TRUE(warned.texts().join(u'|').contains(QStringLiteral("keep_days")))
        << warned.texts().join(u'|').toStdString();
}
