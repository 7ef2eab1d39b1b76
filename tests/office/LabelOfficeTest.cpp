#include "OfficeTestSupport.h"
#include "app/ClientContext.h"
#include "print/PrintBatch.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <QStandardPaths>

#include <algorithm>

using namespace quarvel;
using namespace officetest;

namespace {

class Collect : public PrintBatch::Display {
public:
    void documentDone(const PrintBatch::Report &r) override { reports.append(r); }
    void batchEnded(const PrintBatch::Ending &e) override { ending = e; }
    QList<PrintBatch::Report> reports;
    PrintBatch::Ending ending;
};

// The embedded fonts of the PDF as pdffonts lists them: name and "emb" column.
QStringList embeddedFonts(const QString &pdf)
{
    QStringList names;
    const QStringList lines = QString::fromUtf8(run(QStringLiteral("pdffonts"), {pdf})).split(u'\n');
    for (const QString &line : lines.mid(2)) {
        const QStringList columns = line.simplified().split(u' ');
        if (columns.size() >= 5 && columns.at(columns.size() - 5) == QLatin1String("yes"))
            names << columns.first().section(u'+', -1);
    }
    return names;
}

// A machine without barcode fonts: the client's start-up installs them for
// a user of its own, and the office started afterwards finds them there (one
// left running by an earlier test knows only that test's fonts).
struct LabelInstallation : ::testing::Test {
    LabelInstallation()
    {
        engine().shutdown();
        // The office keeps its profile where it always does.
        qputenv("XDG_CACHE_HOME",
                QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)));
        qputenv("HOME", QFile::encodeName(user.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(user.file(QStringLiteral("data"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(user.file(QStringLiteral("config"))));
        context.setSpreadsheetEngine(&engine());
        EXPECT_TRUE(context.Start(prompter));
        EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.lastText().toStdString();
        PrintDestination::Folder(root.file(QStringLiteral("printed"))).Save(root.path());
    }

    static QString number(int i) { return QStringLiteral("QV%1").arg(7300000 + i * 37); }

    QStringList addRecords(int count)
    {
        QStringList numbers;
        for (int i = 1; i <= count; ++i) {
            PreInputRecord r{};
            r.ddate = {2024, 3, 5};
            r.npieces = 1;
            r.fweight = 1.5;
            Gbk::setField(r.cnum, number(i));
            Gbk::setField(r.creceiver, QStringLiteral("收件人%1").arg(i));
            Gbk::setField(r.csender, QStringLiteral("张三"));
            context.preInputs().Append(&r);
            ids << r.iid;
            numbers << number(i);
        }
        numbers.sort();
        return numbers;
    }

    QList<PrintBatch::Report> printAll()
    {
        PrintBatch batch(context);
        EXPECT_TRUE(batch.AddLabelSheets(ids));
        Collect c;
        EXPECT_TRUE(batch.Start());
        batch.DrainUntilEnded(c);
        EXPECT_EQ(c.ending.failed, 0);
        for (const PrintBatch::Report &r : c.reports)
            EXPECT_TRUE(r.outcome.ok()) << r.outcome.message.toStdString();
        return c.reports;
    }

    QList<int> ids;
    TempRoot user;
    TempRoot root;
    ScriptedPrompter prompter;
    ClientContext context{root.path()};
};

} // namespace

TEST_F(LabelInstallation, SevenRecordsFillLabelsZeroToSixWithBarcodesAScannerReads)
{
    const QString face =
        QString::fromUtf8(run(QStringLiteral("fc-match"),
                              {QStringLiteral("-f"), QStringLiteral("%{file}"), QStringLiteral("3 of 9 Barcode")}));
    EXPECT_EQ(face, user.file(QStringLiteral("data/fonts/LibreBarcode39-Regular.ttf")));

    const QStringList numbers = addRecords(7);
    const QList<PrintBatch::Report> reports = printAll();
    ASSERT_EQ(reports.size(), 1);
    const QString pdf = reports[0].outcome.file;
    EXPECT_EQ(pdfPages(pdf), 1);
    EXPECT_TRUE(embeddedFonts(pdf).contains(QStringLiteral("LibreBarcode39-Regular")))
        << embeddedFonts(pdf).join(u' ').toStdString();
    EXPECT_EQ(scanned(pdf, user.path()), numbers);

    // The barcodes stand on labels 0 to 6: two across, bands down the page.
    double width = 0;
    QList<Word> barcodes;
    for (const Word &w : pdfWords(pdf, width))
        if (w.text.startsWith(u'*'))
            barcodes.append(w);
    ASSERT_EQ(barcodes.size(), 7);
    std::sort(barcodes.begin(), barcodes.end(), [](const Word &a, const Word &b) { return a.text < b.text; });
    for (int label = 0; label < 7; ++label) {
        const Word &w = barcodes[label];
        EXPECT_EQ(w.text, u'*' + number(label + 1) + u'*');
        EXPECT_EQ(w.x > width / 2, label % 2 == 1) << "label " << label;
        if (label >= 2) {
            EXPECT_GT(w.y, barcodes[label - 2].y + 100) << "label " << label << " is a band below";
        }
        if (label % 2 == 1) {
            EXPECT_NEAR(w.y, barcodes[label - 1].y, 2) << "labels " << label - 1 << " and " << label << " share a band";
        }
    }
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("收件人7")));
    EXPECT_FALSE(text.contains(QStringLiteral("收件人8")));
}

TEST_F(LabelInstallation, TwentyOneRecordsGiveThreeSheetsEveryBarcodeReadBack)
{
    const QStringList numbers = addRecords(21);
    const QList<PrintBatch::Report> reports = printAll();
    ASSERT_EQ(reports.size(), 3);
    QStringList all;
    QList<int> perSheet;
    for (const PrintBatch::Report &r : reports) {
        EXPECT_EQ(pdfPages(r.outcome.file), 1);
        const QStringList codes = scanned(r.outcome.file, user.path());
        perSheet << int(codes.size());
        all << codes;
    }
    EXPECT_EQ(perSheet, (QList<int>{10, 10, 1}));
    all.sort();
    EXPECT_EQ(all, numbers);
}

TEST_F(LabelInstallation, CharactersOutsideCode39AreLeftOutOfTheBarcodeButNotOfTheLabel)
{
    PreInputRecord r{};
    r.ddate = {2024, 3, 5};
    Gbk::setField(r.cnum, QStringLiteral("qv-73_01#号"));
    Gbk::setField(r.creceiver, QStringLiteral("李四"));
    context.preInputs().Append(&r);
    ids << r.iid;
    const QList<PrintBatch::Report> reports = printAll();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(scanned(reports[0].outcome.file, user.path()), QStringList{QStringLiteral("QV-7301")});
    EXPECT_TRUE(pdfText(reports[0].outcome.file).contains(QStringLiteral("qv-73_01#号")))
        << "the number under the barcode is printed as entered";
}
