#include "OfficeTestSupport.h"
#include "app/ClientContext.h"
#include "print/DocumentPrinter.h"
#include "print/PrintBatch.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <QStandardPaths>

#include <algorithm>

using namespace quarvel;
using namespace officetest;

namespace {

constexpr double kPointsPerMm = 72 / 25.4;

class Collect : public PrintBatch::Display {
public:
    void documentDone(const PrintBatch::Report &r) override { reports.append(r); }
    void batchEnded(const PrintBatch::Ending &e) override { ending = e; }
    QList<PrintBatch::Report> reports;
    PrintBatch::Ending ending;
};

double middle(const Word &w)
{
    return (w.y + w.bottom) / 2;
}

// The nearest word on the same line as `caption`, to its right: the value of its box.
QString valueOf(const QList<Word> &words, const Word &caption, double rowHeight = 8)
{
    std::optional<Word> nearest;
    for (const Word &w : words)
        if (w.x > caption.right && std::abs(middle(w) - middle(caption)) < rowHeight && (!nearest || w.x < nearest->x))
            nearest = w;
    return nearest ? nearest->text : QString();
}

// Page 1 as grey pixels at 50 dpi, read from the PGM that pdftoppm writes.
class PageImage {
public:
    PageImage(const QString &pdf, const QString &folder)
    {
        const QString stem = QDir(folder).filePath(QFileInfo(pdf).completeBaseName() + QStringLiteral("-grey"));
        run(QStringLiteral("pdftoppm"), {QStringLiteral("-gray"), QStringLiteral("-r"), QString::number(kDpi),
                                         QStringLiteral("-singlefile"), pdf, stem});
        QFile f(stem + QStringLiteral(".pgm"));
        if (!f.open(QIODevice::ReadOnly))
            return;
        const QByteArray all = f.readAll();
        const QList<QByteArray> head = all.left(64).split('\n');
        if (head.size() < 4 || head[0] != "P5")
            return;
        const QList<QByteArray> size = head[1].split(' ');
        width_ = size.value(0).toInt();
        height_ = size.value(1).toInt();
        pixels_ = all.right(qsizetype(width_) * height_);
    }

    bool valid() const { return width_ > 0 && pixels_.size() == qsizetype(width_) * height_; }

    // Dark pixels in a rectangle given in millimetres from the top left of the page.
    int darkPixels(double leftMm, double topMm, double rightMm, double bottomMm) const
    {
        int dark = 0;
        for (int y = pixel(topMm); y < std::min(pixel(bottomMm), height_); ++y)
            for (int x = pixel(leftMm); x < std::min(pixel(rightMm), width_); ++x)
                if (static_cast<unsigned char>(pixels_[qsizetype(y) * width_ + x]) < 160)
                    ++dark;
        return dark;
    }

private:
    static constexpr int kDpi = 50;
    static int pixel(double mm) { return int(mm / 25.4 * kDpi); }

    int width_ = 0;
    int height_ = 0;
    QByteArray pixels_;
};

// A client installation with the shipped templates and the real office, its
// printouts kept in a folder. The client installs the barcode fonts for a
// user of its own, as on a machine that has none; the office is started
// afresh, since one running already knows only the fonts it found then.
struct ShippedDocuments : ::testing::Test {
    ShippedDocuments()
    {
        engine().shutdown();
        qputenv("XDG_CACHE_HOME",
                QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)));
        qputenv("HOME", QFile::encodeName(user.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(user.file(QStringLiteral("data"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(user.file(QStringLiteral("config"))));
        context.setSpreadsheetEngine(&engine());
        EXPECT_TRUE(context.Start(prompter));
        PrintDestination::Folder(root.file(QStringLiteral("printed"))).Save(root.path());
    }

    int add(const QString &number, int payWay = 1, const QString &receiver = QStringLiteral("Smith"))
    {
        PreInputRecord r{};
        r.ddate = {2024, 3, 5};
        r.npieces = 2;
        r.fweight = 3.25;
        r.ffee = 45.5;
        r.npayway = std::uint8_t(payWay);
        r.nitemtype = 1;
        r.nquantity = 2;
        r.iprice = 1250;
        Gbk::setField(r.cnum, number);
        Gbk::setField(r.cemskind, QStringLiteral("国际快递"));
        Gbk::setField(r.cdes, QStringLiteral("美国"));
        Gbk::setField(r.csender, QStringLiteral("张三"));
        Gbk::setField(r.csenderphone, QStringLiteral("0755-88886666"));
        Gbk::setField(r.creceiver, receiver);
        Gbk::setField(r.creceiveraddr, QStringLiteral("1 Demo Street, New York"));
        Gbk::setField(r.cphone, QStringLiteral("0012125550100"));
        Gbk::setField(r.ccurrency, QStringLiteral("USD"));
        Gbk::setField(r.cgoodsorigin, QStringLiteral("CN"));
        Gbk::setField(r.cgoods, QStringLiteral("茶叶"));
        return context.preInputs().Append(&r);
    }

    TempRoot user;
    TempRoot root;
    ScriptedPrompter prompter;
    ClientContext context{root.path()};
};

} // namespace

TEST_F(ShippedDocuments, TheWaybillShowsTheBarcodeWithTheNumberUnderItTheKindTheFreightAndThePayWay)
{
    const PrintOutcome o = DocumentPrinter(context).PrintWaybill(add(QStringLiteral("DE90123000042")));
    ASSERT_TRUE(o.ok()) << o.message.toStdString();
    EXPECT_EQ(scanned(o.file, user.path()), QStringList{QStringLiteral("DE90123000042")});

    double width = 0;
    const QList<Word> words = pdfWords(o.file, width);
    const auto bars = wordOf(words, QStringLiteral("*DE90123000042*"));
    const auto number = wordOf(words, QStringLiteral("DE90123000042"));
    ASSERT_TRUE(bars && number) << pdfText(o.file).toStdString();
    EXPECT_GT(number->y, bars->y) << "the number under the barcode";
    EXPECT_LT(number->y - bars->bottom, 15 * kPointsPerMm);
    EXPECT_NEAR((number->x + number->right) / 2, (bars->x + bars->right) / 2, 10) << "centred under it";

    const auto service = wordOf(words, QStringLiteral("Service"));
    const auto freight = wordOf(words, QStringLiteral("Freight"));
    const auto cash = wordOf(words, QStringLiteral("Cash"));
    const auto monthly = wordOf(words, QStringLiteral("Monthly"));
    const auto collect = wordOf(words, QStringLiteral("Collect"));
    ASSERT_TRUE(service && freight && cash && monthly && collect);
    EXPECT_EQ(valueOf(words, *service, 12), QStringLiteral("国际快递")) << "the express kind";
    EXPECT_EQ(valueOf(words, *freight), QStringLiteral("45.50")) << "the freight";
    EXPECT_EQ(valueOf(words, *cash), QStringLiteral("√")) << "paid in cash";
    EXPECT_EQ(valueOf(words, *monthly), QStringLiteral("现付")) << "the next caption: no mark for 月结";
    EXPECT_EQ(valueOf(words, *collect), QStringLiteral("结算指示")) << "no mark for 到付";
}

TEST_F(ShippedDocuments, TheInvoiceWritesTheRecordsOwnGoodsOnTheFirstGoodsRow)
{
    const int id = add(QStringLiteral("DE90123000042"));
    const PrintOutcome saved = DocumentPrinter(context).OutputInvoice(id, InvoiceSheet::Mode::KeepFile);
    ASSERT_EQ(saved.status, PrintOutcome::Status::Saved) << saved.message.toStdString();
    const QJsonObject book = readXls(saved.file, true);
    const auto value = [&](const char *address) { return cell(book, address)[QStringLiteral("value")].toString(); };
    EXPECT_EQ(value("A18"), QStringLiteral("Full Description of Goods  物品描述")) << "the table's head stays";
    EXPECT_EQ(value("A19"), QStringLiteral("Tea"));
    EXPECT_EQ(value("C19"), QStringLiteral("2"));
    EXPECT_EQ(value("F19"), QStringLiteral("USD25.00"));
    EXPECT_TRUE(value("A20").isEmpty()) << "no second line";

    const PrintOutcome printed = DocumentPrinter(context).OutputInvoice(id, InvoiceSheet::Mode::Print);
    ASSERT_TRUE(printed.ok()) << printed.message.toStdString();
    double width = 0;
    const QList<Word> words = pdfWords(printed.file, width);
    const auto head = wordOf(words, QStringLiteral("Qty"));
    const auto tea = wordOf(words, QStringLiteral("Tea"));
    const auto total = wordOf(words, QStringLiteral("USD25.00"));
    ASSERT_TRUE(head && tea && total) << pdfText(printed.file).toStdString();
    // The head's row is 10 mm high and each goods row 7 mm: the first row
    // begins right under the head's words.
    EXPECT_GT(tea->y, head->bottom);
    EXPECT_LT(tea->y - head->bottom, 7 * kPointsPerMm) << "printed on the first goods row";
}

TEST_F(ShippedDocuments, LabelsAreFramedWithTheBarcodeAndTheNumberUnderItAndUnusedPositionsStayBlank)
{
    const QList<int> ids{add(QStringLiteral("QV7300037")), add(QStringLiteral("QV7300074")),
                         add(QStringLiteral("QV7300111"))};
    PrintBatch batch(context);
    ASSERT_TRUE(batch.AddLabelSheets(ids));
    // Deleted before its turn: its label stays empty and the third keeps its place.
    context.preInputs().DeleteById(ids[1]);
    Collect c;
    ASSERT_TRUE(batch.Start());
    batch.DrainUntilEnded(c);
    ASSERT_EQ(c.reports.size(), 1);
    ASSERT_TRUE(c.reports[0].outcome.ok()) << c.reports[0].outcome.message.toStdString();
    ASSERT_EQ(c.reports[0].gone.size(), 1);
    const QString pdf = c.reports[0].outcome.file;
    EXPECT_EQ(scanned(pdf, user.path()), (QStringList{QStringLiteral("QV7300037"), QStringLiteral("QV7300111")}));

    double width = 0;
    const QList<Word> words = pdfWords(pdf, width);
    for (const QString &n : {QStringLiteral("QV7300037"), QStringLiteral("QV7300111")}) {
        const auto bars = wordOf(words, u'*' + n + u'*');
        const auto number = wordOf(words, n);
        ASSERT_TRUE(bars && number) << n.toStdString();
        EXPECT_GT(number->y, bars->y) << n.toStdString();
        EXPECT_LT(number->y - bars->bottom, 8 * kPointsPerMm) << n.toStdString();
        EXPECT_NEAR((number->x + number->right) / 2, (bars->x + bars->right) / 2, 10) << n.toStdString();
    }
    EXPECT_FALSE(pdfText(pdf).contains(QStringLiteral("QV7300074")));

    // Labels of 96.6 x 56 mm, two across with 4 mm between them, bands 1 mm
    // apart, from the 5 mm margin: the frame's left line of a used label is
    // drawn down its whole height; an unused position prints nothing at all.
    const PageImage page(pdf, user.path());
    ASSERT_TRUE(page.valid());
    const auto left = [](int label) { return 5 + label % 2 * 100.6; };
    const auto top = [](int label) { return 5 + label / 2 * 57.0; };
    for (int label : {0, 2}) {
        EXPECT_GT(page.darkPixels(left(label) - 1, top(label) + 2, left(label) + 1, top(label) + 54), 80)
            << "label " << label << " is framed";
        EXPECT_GT(page.darkPixels(left(label) + 2, top(label) + 2, left(label) + 94, top(label) + 54), 200)
            << "label " << label << " is printed";
    }
    for (int label : {1, 3, 4, 5, 6, 7, 8, 9})
        EXPECT_EQ(page.darkPixels(left(label) - 1, top(label) - 1, left(label) + 97, top(label) + 56), 0)
            << "position " << label << " prints no frame and no caption";
}

TEST_F(ShippedDocuments, ATemplateSavedAsExcelXmlUnderTheOldExtensionIsAcceptedAndPrints)
{
    const QByteArray xml =
        QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?mso-application progid=\"Excel.Sheet\"?>\n"
                          "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\""
                          " xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">\n"
                          " <Worksheet ss:Name=\"Sheet1\"><Table>\n"
                          "  <Row><Cell><Data ss:Type=\"String\">Waybill</Data></Cell></Row>\n"
                          "  <Row><Cell><Data ss:Type=\"String\">Consignee</Data></Cell></Row>\n"
                          " </Table></Worksheet>\n</Workbook>\n");
    root.write(QStringLiteral("DATA_MODEL/TAB_XML.xls"), xml);
    root.write(QStringLiteral("DATA_MODEL/TAB_XML.txt"),
               Gbk::fromUnicode(QStringLiteral("<列表定义开始>\r\n内部单号=B1\r\n收件人=B2\r\n<列表定义结束>\r\n")));
    QString message;
    ASSERT_TRUE(context.templates().ChooseTemplate(TemplateKind::Waybill, QStringLiteral("XML"), &message))
        << message.toStdString();
    const PrintOutcome o = DocumentPrinter(context).PrintWaybill(add(QStringLiteral("DE90123000042")));
    ASSERT_TRUE(o.ok()) << o.message.toStdString();
    const QString text = pdfText(o.file);
    EXPECT_TRUE(text.contains(QStringLiteral("Consignee"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Smith")));
    EXPECT_TRUE(text.contains(QStringLiteral("DE90123000042")));

    root.write(QStringLiteral("DATA_MODEL/TAB_TEXT.xls"), "Waybill,Consignee\nDE1,Smith\n");
    root.write(QStringLiteral("DATA_MODEL/TAB_TEXT.txt"), root.read(QStringLiteral("DATA_MODEL/TAB_XML.txt")));
    EXPECT_FALSE(context.templates().ChooseTemplate(TemplateKind::Waybill, QStringLiteral("TEXT"), &message))
        << "the office reads it only as text";
    EXPECT_EQ(message, QStringLiteral("模版加载失败，选择未完成。"));
    EXPECT_EQ(context.templates().slot(TemplateKind::Waybill)->name(), QStringLiteral("XML"));
    EXPECT_TRUE(QDir(context.tempFolder()).entryList({QStringLiteral("PROBE_*")}).isEmpty())
        << "the files tried on the office are gone";
}
