#include "OfficeTestSupport.h"

#include "app/ClientContext.h"
#include "contacts/ContactImport.h"
#include "core/preinput/PreInputFixture.h"
#include "excel/ImportHeaderFile.h"
#include "excel/SheetFileFormat.h"
#include "excel/SheetImport.h"
#include "preinput/PreInputImport.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <QDate>
#include <QMap>
#include <QTextStream>

using namespace quarvel;
using namespace officetest;
using Outcome = SheetImportReport::Outcome;

namespace {

QString text(const char *bytes)
{
    return Gbk::toUnicode(QByteArray(bytes));
}

QString escaped(const QString &s)
{
    return s.toHtmlEscaped();
}

// A sheet written as flat ODF XML, which LibreOffice reads as it reads any
// spreadsheet: strings, numbers, dates, formulas ("=..."), merged cells.
struct Sheet {
    QList<QList<QVariant>> rows;
    // (row, column) from 1 -> columns spanned.
    QMap<QPair<int, int>, int> spans;
    // Empty rows before the last row, kept as one repeated row as Calc does.
    int emptyRows = 0;

    QString cellXml(const QVariant &v, int span) const
    {
        const QString spanned = span > 1 ? QStringLiteral(" table:number-columns-spanned=\"%1\"").arg(span) : QString();
        if (!v.isValid())
            return QStringLiteral("<table:table-cell/>");
        if (v.typeId() == QMetaType::QDate) {
            const QString iso = v.toDate().toString(Qt::ISODate);
            return QStringLiteral("<table:table-cell table:style-name=\"ce1\" office:value-type=\"date\" "
                                  "office:date-value=\"%1\"%2><text:p>%1</text:p></table:table-cell>")
                .arg(iso, spanned);
        }
        if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Int)
            return QStringLiteral("<table:table-cell office:value-type=\"float\" office:value=\"%1\"%2/>")
                .arg(QString::number(v.toDouble(), 'f', 6), spanned);
        const QString s = v.toString();
        if (s.startsWith(u'='))
            return QStringLiteral("<table:table-cell table:formula=\"of:%1\"%2/>").arg(escaped(s), spanned);
        return QStringLiteral("<table:table-cell office:value-type=\"string\"%2><text:p>%1</text:p></table:table-cell>")
            .arg(escaped(s), spanned);
    }

    QString xml() const
    {
        QString out = QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document "
            "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
            "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
            "xmlns:number=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\" "
            "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
            "xmlns:of=\"urn:oasis:names:tc:opendocument:xmlns:of:1.2\" office:version=\"1.2\" "
            "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\"><office:automatic-styles>"
            "<number:date-style style:name=\"N1\"><number:year number:style=\"long\"/><number:text>-</number:text>"
            "<number:month number:style=\"long\"/><number:text>-</number:text><number:day number:style=\"long\"/>"
            "</number:date-style><style:style style:name=\"ce1\" style:family=\"table-cell\" "
            "style:data-style-name=\"N1\"/></office:automatic-styles><office:body><office:spreadsheet>"
            "<table:table table:name=\"Sheet1\">");
        for (int r = 0; r < int(rows.size()); ++r) {
            if (r == int(rows.size()) - 1 && emptyRows > 0)
                out += QStringLiteral("<table:table-row table:number-rows-repeated=\"%1\"><table:table-cell/>"
                                      "</table:table-row>")
                           .arg(emptyRows);
            out += QStringLiteral("<table:table-row>");
            for (int c = 0; c < int(rows[r].size()); ++c)
                out += cellXml(rows[r][c], spans.value({r + 1, c + 1}, 1));
            out += QStringLiteral("</table:table-row>");
        }
        return out + QStringLiteral("</table:table></office:spreadsheet></office:body></office:document>\n");
    }

    // The same rows as Excel writes CSV: every value as its text.
    QString csv() const
    {
        QString out;
        for (const QList<QVariant> &row : rows) {
            QStringList cells;
            for (const QVariant &v : row) {
                QString s = v.typeId() == QMetaType::QDate    ? v.toDate().toString(Qt::ISODate)
                            : v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'g', 15)
                                                              : v.toString();
                if (s.contains(u',') || s.contains(u'"'))
                    s = u'"' + s.replace(u'"', QStringLiteral("\"\"")) + u'"';
                cells << s;
            }
            out += cells.join(u',') + QStringLiteral("\r\n");
        }
        return out;
    }

    // The sheet in a file of the given format (xls, xlsx, ods, csv, fods).
    QString write(const Folder &folder, const QString &name, const QString &format,
                  const QByteArray &csvEncoding = "UTF-8") const
    {
        const QString path = folder.file(name + u'.' + format);
        QFile file(format == QLatin1String("csv") || format == QLatin1String("fods")
                       ? path
                       : folder.file(name + QStringLiteral("-source.fods")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        if (format == QLatin1String("csv"))
            file.write(csvEncoding == "GBK" ? Gbk::fromUnicode(csv()) : csv().toUtf8());
        else
            file.write(xml().toUtf8());
        file.close();
        if (format == QLatin1String("csv") || format == QLatin1String("fods"))
            return path;
        QString error;
        auto document = engine().open(file.fileName(), SpreadsheetEngine::Access::Edit, &error);
        EXPECT_TRUE(document) << error.toStdString();
        if (document) {
            EXPECT_TRUE(document->save(path)) << document->errorText().toStdString();
            document->close();
        }
        return path;
    }
};

// A started client root whose imports run against the real office.
struct Client {
    TempRoot root;
    ClientContext context{root.path()};
    ScriptedPrompter prompter;

    Client()
    {
        context.setSpreadsheetEngine(&engine());
        EXPECT_TRUE(context.Start(prompter));
        context.baseData().parse(PreInputFixture::baseText(false));
    }

    SheetImportReport run(SheetImportRules &rules, const QString &path, SheetImport::Progress progress = {})
    {
        ExcelSession session(context, prompter);
        SheetImport reader(session, rules);
        reader.setProgress(std::move(progress));
        return reader.Run(path);
    }

    SheetImportReport importRecords(const QString &path, SheetImport::Progress progress = {})
    {
        PreInputImport rules(context.preInputs(), {context.baseData(), context.settings(), 0, QDate(2009, 3, 5)});
        return run(rules, path, std::move(progress));
    }

    SheetImportReport importContacts(const QString &path)
    {
        ContactImport rules(context.contacts());
        return run(rules, path);
    }

    const PreInputRecord *record(const char *number)
    {
        return context.preInputs().FindLastByNumber(QString::fromLatin1(number));
    }
};

Sheet recordSheet()
{
    Sheet s;
    s.rows = {
        {QStringLiteral("运单号"), QStringLiteral("目的地"), QStringLiteral("收件人"), QStringLiteral("收件电话"),
         QStringLiteral("收件邮编"), QStringLiteral("收件地址"), QStringLiteral("重量"), QStringLiteral("备注"),
         QStringLiteral("件数")},
        {QStringLiteral("AB0000001"), QStringLiteral("北京市"), QStringLiteral("张三"), QStringLiteral("0755123456"),
         QStringLiteral("010010"), QStringLiteral("北京市朝阳区建国路1号"), 2.5, QDate(2009, 3, 5), 3.0},
        {QStringLiteral("AB0000002"), QStringLiteral("usa"), QStringLiteral("John"), 13800138000.0, 518000.0,
         QStringLiteral("Main Street 1"), 1.25, QStringLiteral("=1/0"), 1.0},
        {QStringLiteral("AB0000003"), QStringLiteral("深圳"), QStringLiteral("李四"), QStringLiteral("13900000000"),
         QVariant(), QStringLiteral("深圳市南山区科技园"), 0.5, QString(10000, u'长'), 1.0},
    };
    return s;
}

} // namespace

// The same sheet saved by LibreOffice in every format a customer sends.
TEST(OfficeSheetImport, RecordsComeInFromEveryFormatWithTheirTextsAndNumbersIntact)
{
    Folder folder;
    const Sheet sheet = recordSheet();
    for (const QString &format :
         {QStringLiteral("xls"), QStringLiteral("xlsx"), QStringLiteral("ods"), QStringLiteral("csv")}) {
        SCOPED_TRACE(format.toStdString());
        Client c;
        const SheetImportReport report = c.importRecords(sheet.write(folder, QStringLiteral("records"), format));
        ASSERT_EQ(report.outcome, Outcome::Finished) << report.message.toStdString();
        const bool csv = format == QLatin1String("csv");
        // A CSV cell is text: "=1/0" is no formula there.
        EXPECT_EQ(report.written, csv ? 2 : 1);
        const PreInputRecord *first = c.record("AB0000001");
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(text(first->cphone), QStringLiteral("0755123456"));
        EXPECT_EQ(text(first->creceiverzip), QStringLiteral("010010"));
        // A date in a text column comes in as the sheet shows it.
        EXPECT_EQ(text(first->cremark), QStringLiteral("2009-03-05"));
        EXPECT_DOUBLE_EQ(first->fweight, 2.5);
        EXPECT_EQ(first->npieces, 3);
        EXPECT_EQ(first->nlocked, 0);
        const PreInputRecord *second = c.record("AB0000002");
        if (csv) {
            ASSERT_NE(second, nullptr);
            EXPECT_EQ(text(second->cphone), QStringLiteral("13800138000"));
            EXPECT_EQ(text(second->creceiverzip), QStringLiteral("518000"));
            EXPECT_EQ(text(second->cdes), QStringLiteral("USA"));
        } else {
            EXPECT_EQ(second, nullptr);
            EXPECT_TRUE(report.rowLines().contains(QStringLiteral("3\tAB0000002\t[备注]单元格的公式有错误(#DIV/0!)")))
                << report.Text().toStdString();
        }
        // A remark too long for its field skips its row and says so in bytes.
        EXPECT_EQ(c.record("AB0000003"), nullptr);
        EXPECT_TRUE(report.rowLines().contains(QStringLiteral("4\tAB0000003\t[备注]超过 254 字节(此行有 20000 字节)")))
            << report.Text().toStdString();
    }
}

// The sheets customers bring, each as its shop or its colleague's Excel
// saved it: every row's outcome, and the closing line adding up.
TEST(OfficeSheetImport, CustomerSheetsInEveryFormTheyComeInAccountForEveryRow)
{
    Folder folder;
    int code = -1;
    run(QStringLiteral("/usr/bin/python3"),
        {QStringLiteral(QUARVEL_SOURCE_DIR "/tests/data/office/make_customer_sheets.py"), folder.path()}, &code);
    ASSERT_EQ(code, 0);
    const QStringList skipped{QStringLiteral("5\t7.73000E+14\t运单号被表格改成了科学计数法"),
                              QStringLiteral("6\tAB0000006\t目的地“火星”不在基本数据中,已锁定,改正后才会上传。"),
                              QStringLiteral("7\tAB0000007\t[重量]不是可识别的数值:abc"),
                              QStringLiteral("9\tAB0000009\t[收件地址]超过 126 字节(此行有 144 字节)"),
                              QStringLiteral("10\tAB0000010\t收件人为空,已锁定,改正后才会上传。"),
                              QStringLiteral("12\tAB0000012\t[重量]不能是负数:-1"),
                              QStringLiteral("13\tAB0000013\t[重量]不是可识别的数值:约2公斤")};
    for (const QString &name :
         {QStringLiteral("shop.xlsx"), QStringLiteral("shop-html.xls"), QStringLiteral("shop-2003.xls"),
          QStringLiteral("shop-gbk.csv"), QStringLiteral("shop-bom.csv")}) {
        SCOPED_TRACE(name.toStdString());
        Client c;
        const SheetImportReport report = c.importRecords(folder.file(name));
        ASSERT_EQ(report.outcome, Outcome::Finished) << report.message.toStdString();
        EXPECT_EQ(report.headerRow, 2);
        // The workbooks start with an instructions sheet; the orders are read from the second.
        if (name == QLatin1String("shop.xlsx") || name == QLatin1String("shop-2003.xls")) {
            EXPECT_EQ(report.sheet, QStringLiteral("订单"));
        }
        EXPECT_EQ(report.message, QStringLiteral("本次导入共成功写入4条预录单记录。表中数据11行(第3行至第13行):"
                                                 "完整写入2条,不完整写入2条,跳过5行,空行2行。"));
        // The web page's "7.73000E+14" is a number to the office, shown in its own way.
        QStringList lines = skipped;
        if (name == QLatin1String("shop-html.xls"))
            lines[0] = QStringLiteral("5\t7.73E+14\t运单号被表格改成了科学计数法");
        EXPECT_EQ(report.rowLines(), lines);

        const PreInputRecord *first = c.record("773000000000001");
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(text(first->creceiver), QStringLiteral("张三"));
        EXPECT_EQ(text(first->cphone), QStringLiteral("01086493748"));
        EXPECT_EQ(text(first->creceiverzip), QStringLiteral("030001"));
        EXPECT_EQ(text(first->cdes), QStringLiteral("北京市"));
        EXPECT_EQ(text(first->creceiverprov), QStringLiteral("北京"));
        EXPECT_DOUBLE_EQ(first->fweight, 0.5);
        EXPECT_EQ(first->nlocked, 0);
        const PreInputRecord *mars = c.record("AB0000006");
        ASSERT_NE(mars, nullptr);
        EXPECT_EQ(text(mars->cdes), QStringLiteral("火星"));
        EXPECT_DOUBLE_EQ(mars->fweight, 1234.5);
        EXPECT_EQ(mars->nlocked, 1);
        const PreInputRecord *nameless = c.record("AB0000010");
        ASSERT_NE(nameless, nullptr);
        EXPECT_EQ(text(nameless->cdes), QStringLiteral("广东深圳"));
        EXPECT_EQ(nameless->nlocked, 1);
        const PreInputRecord *formula = c.record("773000000000011");
        ASSERT_NE(formula, nullptr);
        EXPECT_EQ(text(formula->cphone), QStringLiteral("01012345678"));
        EXPECT_DOUBLE_EQ(formula->fweight, 1.5);
        EXPECT_EQ(c.context.preInputs().GetCount(), 4);
    }
}

TEST(OfficeSheetImport, NumbersHeldAsNumbersComeInAsTheirDigits)
{
    Folder folder;
    Sheet sheet;
    sheet.rows = {{QStringLiteral("姓名"), QStringLiteral("电话"), QStringLiteral("地址"), QStringLiteral("邮编"),
                   QStringLiteral("短信电话")},
                  {QStringLiteral("张三"), 13800138000.0, QStringLiteral("北京市朝阳区"), 100020.0, 8613912345678.0}};
    Client c;
    const SheetImportReport report =
        c.importContacts(sheet.write(folder, QStringLiteral("numbers"), QStringLiteral("xls")));
    ASSERT_EQ(report.written, 1) << report.message.toStdString();
    const ContactRecord &r = *c.context.contacts().At(0);
    EXPECT_EQ(text(r.cphone), QStringLiteral("13800138000"));
    EXPECT_EQ(text(r.czip), QStringLiteral("100020"));
    EXPECT_EQ(text(r.csms), QStringLiteral("8613912345678"));
}

TEST(OfficeSheetImport, GbkCsvAsExcelSavesItOnChineseWindows)
{
    Folder folder;
    Sheet sheet;
    sheet.rows = {{QStringLiteral("姓名"), QStringLiteral("电话"), QStringLiteral("地址")},
                  {QStringLiteral("张三"), QStringLiteral("02088886666"), QStringLiteral("广州市天河区天河路100号")}};
    Client c;
    const SheetImportReport report =
        c.importContacts(sheet.write(folder, QStringLiteral("gbk"), QStringLiteral("csv"), "GBK"));
    ASSERT_EQ(report.written, 1) << report.message.toStdString();
    EXPECT_EQ(text(c.context.contacts().At(0)->caddr), QStringLiteral("广州市天河区天河路100号"));
    EXPECT_EQ(text(c.context.contacts().At(0)->cphone), QStringLiteral("02088886666"));
}

TEST(OfficeSheetImport, MergedHeaderCellsCountForTheirFirstColumn)
{
    Folder folder;
    Sheet sheet;
    sheet.rows = {{QStringLiteral("运单号"), QVariant(), QStringLiteral("目的地")},
                  {QStringLiteral("AB0000009"), QStringLiteral("旁注"), QStringLiteral("北京市")}};
    sheet.spans[{1, 1}] = 2;
    Client c;
    const SheetImportReport report =
        c.importRecords(sheet.write(folder, QStringLiteral("merged"), QStringLiteral("xlsx")));
    EXPECT_EQ(report.written, 1) << report.message.toStdString();
    EXPECT_NE(c.record("AB0000009"), nullptr);
}

TEST(OfficeSheetImport, CharactersOutsideGbkSkipTheirRowOnly)
{
    Folder folder;
    Sheet sheet = recordSheet();
    sheet.rows[3][2] = QStringLiteral("李𠀀");
    sheet.rows[3][7] = QStringLiteral("短");
    Client c;
    const SheetImportReport report = c.importRecords(sheet.write(folder, QStringLiteral("gbk"), QStringLiteral("ods")));
    EXPECT_EQ(report.outcome, Outcome::Finished);
    EXPECT_TRUE(
        report.rowLines().contains(QStringLiteral("4\tAB0000003\t[收件人]含有不能保存的字符“𠀀”，请改用其他文字。")))
        << report.Text().toStdString();
    EXPECT_EQ(c.context.preInputs().GetCount(), 1);
    EXPECT_EQ(c.record("AB0000003"), nullptr);
}

TEST(OfficeSheetImport, FilesThatAreNoUsableSheetAreRefusedClearly)
{
    Folder folder;
    Client c;
    QFile pdf(folder.file(QStringLiteral("report.xls")));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj <</Type /Catalog>> endobj\n\x01\x02\x03\xFF\xFE");
    pdf.close();
    SheetImportReport report = c.importContacts(pdf.fileName());
    EXPECT_EQ(report.outcome, Outcome::NotStarted);
    // One message naming the file and the formats tried.
    EXPECT_TRUE(report.message.startsWith(QStringLiteral("文件打开失败:\r\n") + pdf.fileName()))
        << report.message.toStdString();
    EXPECT_TRUE(report.message.contains(QStringLiteral("文件不是电子表格。")) ||
                report.message.contains(QStringLiteral("文件格式无法识别。")))
        << report.message.toStdString();
    EXPECT_TRUE(report.message.endsWith(SheetFileFormat::TriedText())) << report.message.toStdString();

    const QString empty = folder.file(QStringLiteral("empty.xlsx"));
    QString error;
    auto document = engine().create(empty, &error);
    ASSERT_TRUE(document) << error.toStdString();
    document->close();
    report = c.importContacts(empty);
    EXPECT_EQ(report.message, QStringLiteral("文件的工作表都是空的,没有可导入的数据。"));

    Sheet sheet;
    sheet.rows = {{QStringLiteral("姓名"), QStringLiteral("电话"), QStringLiteral("地址")},
                  {QStringLiteral("张三"), QStringLiteral("111"), QStringLiteral("北京市朝阳区")}};
    const QString plain = sheet.write(folder, QStringLiteral("plain"), QStringLiteral("ods"));
    const QString locked = folder.file(QStringLiteral("locked.ods"));
    int code = -1;
    run(QStringLiteral("/usr/bin/python3"),
        {QStringLiteral(QUARVEL_SOURCE_DIR "/tests/office/encrypt_ods.py"), plain, locked, QStringLiteral("secret")},
        &code);
    ASSERT_EQ(code, 0);
    report = c.importContacts(locked);
    EXPECT_EQ(report.outcome, Outcome::NotStarted);
    EXPECT_TRUE(report.message.endsWith(QStringLiteral("文件有密码保护,不能打开。"))) << report.message.toStdString();
    EXPECT_EQ(c.context.contacts().GetCount(), 0);
    // The office is still there for the next file.
    EXPECT_EQ(c.importContacts(plain).written, 1);
}

TEST(OfficeSheetImport, HugeSheetsAreRefusedBigCellsSkippedAndWideOnesRead)
{
    Folder folder;
    int code = -1;
    run(QStringLiteral("/usr/bin/python3"),
        {QStringLiteral(QUARVEL_SOURCE_DIR "/tests/data/office/make_customer_sheets.py"), folder.path()}, &code);
    ASSERT_EQ(code, 0);
    Client c;
    // A stray value in the last row Excel has: refused before any row, without reading the rows.
    SheetImportReport report = c.importContacts(folder.file(QStringLiteral("tall.xlsx")));
    EXPECT_EQ(report.message, QStringLiteral("工作表“Sheet1”有1048576行,超过了一次最多导入65536行的限度。\r\n"
                                             "请把表格分成几个文件再导入。"));
    EXPECT_EQ(c.context.contacts().GetCount(), 0);

    // A cell of 100,000 characters skips its row; the next row comes in.
    report = c.importContacts(folder.file(QStringLiteral("bigcell.xlsx")));
    EXPECT_EQ(report.outcome, Outcome::Finished);
    EXPECT_EQ(report.rowLines(), QStringList{QStringLiteral("2\t张三\t[备注]超过 254 字节(此行有 200000 字节)")});
    EXPECT_EQ(c.context.contacts().GetCount(), 1);

    const QString wide = folder.file(QStringLiteral("wide.xlsx"));
    QString error;
    auto document = engine().create(wide, &error);
    ASSERT_TRUE(document) << error.toStdString();
    document->setBlock(1, 1,
                       {{QStringLiteral("姓名"), QStringLiteral("电话"), QStringLiteral("地址")},
                        {QStringLiteral("王五"), QStringLiteral("111"), QStringLiteral("北京市朝阳区")}});
    ASSERT_TRUE(document->setText(2, 10000, QStringLiteral("远处的单元格")));
    ASSERT_TRUE(document->save(wide));
    document->close();
    report = c.importContacts(wide);
    EXPECT_EQ(report.written, 1) << report.message.toStdString();
}

// The file is rewritten while it is imported: the import ends at the next
// check and says how many rows it wrote.
TEST(OfficeSheetImport, AFileReplacedDuringTheImportEndsItWithTheRowsWritten)
{
    Folder folder;
    const QString path = folder.file(QStringLiteral("many.xlsx"));
    QList<QList<QVariant>> cells{{QStringLiteral("姓名"), QStringLiteral("电话"), QStringLiteral("地址")}};
    for (int i = 1; i <= 1200; ++i)
        cells.append({QStringLiteral("客户%1").arg(i), QStringLiteral("138%1").arg(i, 8, 10, QLatin1Char('0')),
                      QStringLiteral("上海市浦东新区%1号").arg(i)});
    QString error;
    auto document = engine().create(path, &error);
    ASSERT_TRUE(document) << error.toStdString();
    ASSERT_TRUE(document->setBlock(1, 1, cells));
    ASSERT_TRUE(document->save(path));
    document->close();

    Client c;
    ContactImport rules(c.context.contacts());
    const SheetImportReport report = c.run(rules, path, [&](int row, int) {
        if (row == 502)
            QFile::remove(path);
        return true;
    });
    EXPECT_EQ(report.outcome, Outcome::Failed);
    EXPECT_EQ(report.written, 525);
    EXPECT_EQ(report.message,
              QStringLiteral("文件“%1”在导入过程中被删除或改写,导入停在第527行,此前写入的525条记录已保存。").arg(path));
    EXPECT_EQ(c.context.contacts().GetCount(), 525);
}

// The office dies between two blocks: the rows of the blocks read stay, the
// message says where it stopped, and the same sheet again brings the rest
// with the first rows skipped as duplicates. The next block is read while
// the last one is written, so the kill may come after one or two blocks.
TEST(OfficeSheetImport, AKilledOfficeLeavesTheRowsWrittenAndASecondImportFinishes)
{
    constexpr int kRows = 3500;
    Folder folder;
    const QString path = folder.file(QStringLiteral("many.xlsx"));
    QList<QList<QVariant>> cells{{QStringLiteral("运单号"), QStringLiteral("目的地"), QStringLiteral("收件人")}};
    for (int i = 1; i <= kRows; ++i)
        cells.append({QStringLiteral("KL%1").arg(i, 7, 10, QLatin1Char('0')), QStringLiteral("北京市"),
                      QStringLiteral("收件人%1").arg(i)});
    QString error;
    auto document = engine().create(path, &error);
    ASSERT_TRUE(document) << error.toStdString();
    ASSERT_TRUE(document->setBlock(1, 1, cells));
    ASSERT_TRUE(document->save(path));
    document->close();

    Client c;
    bool killed = false;
    SheetImportReport report = c.importRecords(path, [&](int row, int) {
        if (row >= 502 && !killed) {
            killed = ::kill(pid_t(engine().officeProcessId()), SIGKILL) == 0;
            processEnds(engine().officeProcessId());
        }
        return true;
    });
    ASSERT_TRUE(killed);
    EXPECT_EQ(report.outcome, Outcome::Failed);
    EXPECT_TRUE(report.stopRow == 1002 || report.stopRow == 2002) << report.stopRow;
    EXPECT_EQ(report.written, report.stopRow - 2);
    EXPECT_TRUE(report.message.startsWith(QStringLiteral("读取表格失败,导入停在第%1行,此前写入的%2条记录已保存:")
                                              .arg(report.stopRow)
                                              .arg(report.written)))
        << report.message.toStdString();
    EXPECT_EQ(c.context.preInputs().GetCount(), report.written);
    const int first = report.written;

    report = c.importRecords(path);
    EXPECT_EQ(report.outcome, Outcome::Finished) << report.message.toStdString();
    EXPECT_EQ(report.written, kRows - first);
    EXPECT_EQ(report.skipped, first);
    EXPECT_EQ(c.context.preInputs().GetCount(), kRows);
}

TEST(OfficeSheetImport, HeaderSheetsReadBackWithXlrd)
{
    Folder folder;
    ScriptedPrompter prompter;
    struct Case {
        QString sheet;
        QString file;
        QList<ImportColumn> columns;
    };
    const Case cases[] = {
        {ContactImport::SheetName(), ContactImport::FileName(), ContactImport::ExportColumns()},
        {PreInputImport::SheetName(), PreInputImport::FileName(), PreInputImport::ExportColumns()},
    };
    for (const Case &k : cases) {
        ExcelSession session(&engine(), prompter, folder.path());
        const QString path = ImportHeaderFile::DefaultPath(folder.path(), k.file);
        ASSERT_TRUE(ImportHeaderFile::Export(session, prompter, k.sheet, path, k.columns))
            << prompter.lastText().toStdString();
        const QJsonObject book = readXls(path);
        EXPECT_EQ(book[QStringLiteral("sheets")].toArray().first().toString(), k.sheet);
        EXPECT_EQ(book[QStringLiteral("columns")].toInt(), k.columns.size());
        EXPECT_EQ(book[QStringLiteral("rows")].toInt(), 1);
        const QJsonObject widths = book[QStringLiteral("widths")].toObject();
        for (int i = 0; i < int(k.columns.size()); ++i) {
            const QString address = ExcelSession::CellAddress(1, i + 1);
            const QJsonObject c = book[QStringLiteral("cells")].toObject()[address].toObject();
            EXPECT_EQ(c[QStringLiteral("value")].toString(), k.columns[i].caption()) << address.toStdString();
            const QString letters = address.chopped(1);
            EXPECT_DOUBLE_EQ(excelColumnWidth(widths[letters].toInt()),
                             ExcelSession::ColumnWidthForPixels(k.columns[i].width))
                << address.toStdString();
        }
        EXPECT_EQ(prompter.lastText(), QStringLiteral("文件保存在:\r\n") + QDir::toNativeSeparators(path));
    }
}
