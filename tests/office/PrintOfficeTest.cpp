#include "OfficeTestSupport.h"
#include "app/ClientContext.h"
#include "print/DocumentPrinter.h"
#include "print/PrintBatch.h"
#include "support/KillingEngine.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <QCryptographicHash>

using namespace quarvel;
using namespace officetest;

namespace {

QByteArray digest(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                       : QByteArray();
}

class Collect : public PrintBatch::Display {
public:
    void documentDone(const PrintBatch::Report &r) override { reports.append(r); }
    void batchEnded(const PrintBatch::Ending &e) override { ending = e; }
    QList<PrintBatch::Report> reports;
    PrintBatch::Ending ending;
};

// A client installation with the shipped templates, the office engine and a
// folder as print destination.
struct Installation : ::testing::Test {
    Installation()
    {
        context.setSpreadsheetEngine(&engine());
        EXPECT_TRUE(context.Start(prompter));
        PrintDestination::Folder(root.file(QStringLiteral("printed"))).Save(root.path());
    }

    int add(const std::function<void(PreInputRecord &)> &fill)
    {
        PreInputRecord r{};
        r.ddate = {2024, 3, 5};
        r.npieces = 2;
        r.fweight = 3.25;
        r.npayway = 1;
        r.nitemtype = 1;
        Gbk::setField(r.cnum, QStringLiteral("DE90123000042"));
        Gbk::setField(r.cdes, QStringLiteral("美国"));
        Gbk::setField(r.csender, QStringLiteral("张三"));
        Gbk::setField(r.csenderaddr, QStringLiteral("广东省深圳市南山区科技园演示路1号"));
        Gbk::setField(r.csenderphone, QStringLiteral("0755-88886666"));
        Gbk::setField(r.creceiver, QStringLiteral("Smith"));
        Gbk::setField(r.creceiveraddr, QStringLiteral("1 Demo Street, New York"));
        Gbk::setField(r.cphone, QStringLiteral("0012125550100"));
        Gbk::setField(r.creceivercountry, QStringLiteral("United States"));
        Gbk::setField(r.ccurrency, QStringLiteral("USD"));
        Gbk::setField(r.cgoodsorigin, QStringLiteral("CN"));
        Gbk::setField(r.cgoods, QStringLiteral("茶叶"));
        fill(r);
        return context.preInputs().Append(&r);
    }

    void addGoods(int parent, const char *name, int quantity, double price)
    {
        GoodsRecord g{};
        g.iparent = parent;
        Gbk::setField(g.cname, QString::fromUtf8(name));
        g.nquantity = quantity;
        g.fprice = price;
        context.goods().Append(&g);
    }

    TempRoot root;
    ScriptedPrompter prompter;
    ClientContext context{root.path()};
};

} // namespace

TEST_F(Installation, AWaybillShowsEachFieldInItsBox)
{
    const QString templateFile = root.file(QStringLiteral("DATA_MODEL/TAB_默认面单.xls"));
    const QByteArray before = digest(templateFile);
    const int id = add([](PreInputRecord &) {});
    const PrintOutcome outcome = DocumentPrinter(context).PrintWaybill(id);
    ASSERT_TRUE(outcome.ok()) << outcome.message.toStdString();
    EXPECT_EQ(outcome.file, root.file(QStringLiteral("printed/面单_DE90123000042.pdf")));
    EXPECT_EQ(pdfPages(outcome.file), 1);

    double width = 0;
    const QList<Word> words = pdfWords(outcome.file, width);
    ASSERT_GT(width, 500);
    const auto number = wordOf(words, QStringLiteral("DE90123000042"));
    const auto sender = wordOf(words, QStringLiteral("张三"));
    const auto receiver = wordOf(words, QStringLiteral("Smith"));
    const auto senderCaption = wordOf(words, QStringLiteral("FROM"));
    const auto receiverCaption = wordOf(words, QStringLiteral("TO"));
    ASSERT_TRUE(number && sender && receiver && senderCaption && receiverCaption)
        << pdfText(outcome.file).toStdString();
    EXPECT_GT(number->x, width / 2) << "the number box is at the top right";
    EXPECT_LT(number->y, sender->y);
    EXPECT_LT(sender->x, width / 2) << "the sender in the left box";
    EXPECT_GT(receiver->x, width / 2) << "the receiver in the right box";
    EXPECT_GT(sender->y, senderCaption->y) << "below the FROM heading";
    EXPECT_GT(receiver->y, receiverCaption->y);
    const QString text = pdfText(outcome.file);
    for (const char *shown : {"0755-88886666", "0012125550100", "3.250kg", "2024-03-05", "包裹", "深圳市南山区"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(shown))) << shown;
    EXPECT_TRUE(text.contains(QStringLiteral("√"))) << "the 现付 and 包裹 check marks";
    EXPECT_EQ(digest(templateFile), before) << "the template file stays as it was";
    EXPECT_TRUE(QDir(context.tempFolder()).entryList({QStringLiteral("BILL_*")}).isEmpty());
    EXPECT_EQ(context.printLedger().Recent().value(0).pdf, outcome.file);
}

TEST_F(Installation, AnInvoiceKeepsGoodsRowsDigitsAndTheTemplate)
{
    const QString templateFile = root.file(QStringLiteral("DATA_MODEL/IVC_默认形式发票.xls"));
    const QByteArray before = digest(templateFile);
    const int id = add([](PreInputRecord &r) { Gbk::setField(r.cnum, QStringLiteral("0123456789")); });
    addGoods(id, "茶叶", 3, 12.5);
    addGoods(id, "衬衫 (cotton)", 2, 8);
    addGoods(id, "手机壳", 10, 1.99);

    const PrintOutcome saved = DocumentPrinter(context).OutputInvoice(id, InvoiceSheet::Mode::KeepFile);
    ASSERT_EQ(saved.status, PrintOutcome::Status::Saved) << saved.message.toStdString();
    EXPECT_EQ(saved.file, QDir(context.tempFolder()).filePath(QStringLiteral("INVOICE_0123456789.xls")));
    const QJsonObject book = readXls(saved.file, true);
    EXPECT_EQ(book[QStringLiteral("sheets")].toArray().first().toString(), QStringLiteral("Invoice"));
    const auto value = [&](const char *address) { return cell(book, address)[QStringLiteral("value")].toString(); };
    const auto type = [&](const char *address) { return cell(book, address)[QStringLiteral("type")].toString(); };
    // The goods rows R..R+2 from the row of 物品描述 (19).
    EXPECT_EQ(value("A19"), QStringLiteral("Tea"));
    EXPECT_EQ(value("A20"), QStringLiteral("Shirt (cotton)"));
    EXPECT_EQ(value("A21"), QStringLiteral("Phone case"));
    EXPECT_TRUE(cell(book, "A22").isEmpty() || value("A22").isEmpty());
    EXPECT_EQ(value("C19"), QStringLiteral("3"));
    EXPECT_EQ(value("D21"), QStringLiteral("USD1.99"));
    EXPECT_EQ(value("F19"), QStringLiteral("USD37.50"));
    EXPECT_EQ(value("F29"), QStringLiteral("USD73.40"));
    // Digit-led texts keep their leading zeros as text.
    EXPECT_EQ(value("B3"), QStringLiteral("0123456789"));
    EXPECT_EQ(type("B3"), QStringLiteral("text"));
    EXPECT_EQ(value("E15"), QStringLiteral("0012125550100"));
    EXPECT_EQ(type("E15"), QStringLiteral("text"));
    EXPECT_EQ(value("B15"), QStringLiteral("0755-88886666"));
    EXPECT_EQ(value("E9"), QStringLiteral("Smith"));
    EXPECT_EQ(value("A1"), QStringLiteral("PROFORMA INVOICE  形式发票")) << "the captions of the template stay";

    const PrintOutcome printed = DocumentPrinter(context).OutputInvoice(id, InvoiceSheet::Mode::Print);
    ASSERT_TRUE(printed.ok()) << printed.message.toStdString();
    const QString text = pdfText(printed.file);
    for (const char *shown : {"Tea", "Phone case", "USD73.40", "0123456789", "Smith"})
        EXPECT_TRUE(text.contains(QLatin1String(shown))) << shown;
    EXPECT_EQ(digest(templateFile), before);
    EXPECT_TRUE(QFileInfo::exists(saved.file)) << "printing does not take the saved invoice";
}

TEST_F(Installation, TemplatesThatAreNoWorkbooksFailWithAMessage)
{
    const QByteArray definition = root.read(QStringLiteral("DATA_MODEL/TAB_默认面单.txt"));
    root.write(QStringLiteral("DATA_MODEL/TAB_假.txt"), definition);
    root.write(QStringLiteral("DATA_MODEL/TAB_假.xls"),
               QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") + QByteArray(4000, 'Z'));
    QString message;
    EXPECT_FALSE(context.templates().ChooseTemplate(TemplateKind::Waybill, QStringLiteral("假"), &message))
        << "the office would print such a file as text";
    EXPECT_EQ(message, QStringLiteral("模版加载失败，选择未完成。"));

    // A real workbook whose sheet data was overwritten: it passes for one until the office reads it.
    QByteArray damaged = root.read(QStringLiteral("DATA_MODEL/TAB_默认面单.xls"));
    const qsizetype sheetStart = damaged.indexOf(QByteArray("\x09\x08\x10\x00\x00\x06", 6));
    ASSERT_GT(sheetStart, 0);
    damaged.replace(sheetStart, 3000, QByteArray(3000, 'Z'));
    root.write(QStringLiteral("DATA_MODEL/TAB_坏.txt"), definition);
    root.write(QStringLiteral("DATA_MODEL/TAB_坏.xls"),
               damaged.left(root.read(QStringLiteral("DATA_MODEL/TAB_默认面单.xls")).size()));
    ASSERT_TRUE(context.templates().ChooseTemplate(TemplateKind::Waybill, QStringLiteral("坏")));
    const int id = add([](PreInputRecord &) {});
    const PrintOutcome broken = DocumentPrinter(context).PrintWaybill(id);
    EXPECT_EQ(broken.status, PrintOutcome::Status::Failed);
    EXPECT_TRUE(broken.message.startsWith(QStringLiteral("文件打开失败"))) << broken.message.toStdString();
    EXPECT_TRUE(QDir(root.file(QStringLiteral("printed"))).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(QDir(context.tempFolder()).entryList({QStringLiteral("BILL_*")}).isEmpty()) << "no working file left";
    ASSERT_TRUE(context.templates().ChooseTemplate(TemplateKind::Waybill, QStringLiteral("默认面单")));
    EXPECT_TRUE(DocumentPrinter(context).PrintWaybill(id).ok()) << "the office still serves the next document";
}

TEST_F(Installation, TheOfficeDyingInABatchFailsThatDocumentOnly)
{
    KillingEngine killing(engine(), 2);
    context.setSpreadsheetEngine(&killing);
    QList<int> ids;
    for (int i = 1; i <= 3; ++i)
        ids << add([i](PreInputRecord &r) { Gbk::setField(r.cnum, QStringLiteral("DE9012300000%1").arg(i)); });
    PrintBatch batch(context);
    ASSERT_TRUE(batch.AddWaybills(ids));
    ASSERT_TRUE(batch.Start());
    Collect c;
    batch.DrainUntilEnded(c);
    EXPECT_EQ(killing.killed(), 1);
    ASSERT_EQ(c.reports.size(), 3);
    EXPECT_TRUE(c.reports[0].outcome.ok());
    EXPECT_FALSE(c.reports[1].outcome.ok());
    EXPECT_TRUE(c.reports[1].outcome.message.contains(QStringLiteral("LibreOffice")))
        << c.reports[1].outcome.message.toStdString();
    EXPECT_TRUE(c.reports[2].outcome.ok()) << c.reports[2].outcome.message.toStdString();
    EXPECT_EQ(c.ending.printed, 2);
    EXPECT_EQ(c.ending.failed, 1);
    EXPECT_EQ(QDir(root.file(QStringLiteral("printed"))).entryList(QDir::Files).size(), 2);
}
