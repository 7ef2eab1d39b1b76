// Spreadsheet imports against LibreOffice's own time to load the sheet.
//
//   build/bench/sheet_import_bench records [ROWS] [RUNS]
//     A customer's shipment sheet (a title row above the header, phones and
//     postcodes as numbers with zero-padding formats, a date column, weights
//     in grams) imported as pre-entry records, against the engine opening
//     the file in the running office (what the import cannot do without)
//     and `soffice --convert-to csv` of it (a fresh office, for scale).
//     Goal: the whole import at most twice the engine's open.
//
//   build/bench/sheet_import_bench contacts [ROWS...]
//     Address-book imports of sheets without codes whose names all share
//     their initials (every row needs a generated code). Goal: 20,000 rows
//     at most five times 5,000 (the cost of a row does not grow with the
//     rows before it).
#include "OfficeEngine.h"
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "contacts/ContactImport.h"
#include "excel/ExcelSession.h"
#include "excel/SheetImport.h"
#include "preinput/PreInputImport.h"
#include "text/Gbk.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace quarvel;

namespace {

OfficeEngine &engine()
{
    return OfficeEngine::processEngine();
}

QString cell(const QString &text)
{
    return QStringLiteral("<table:table-cell office:value-type=\"string\"><text:p>%1</text:p></table:table-cell>")
        .arg(text.toHtmlEscaped());
}

QString number(double value, const char *style = nullptr)
{
    return QStringLiteral("<table:table-cell%1 office:value-type=\"float\" office:value=\"%2\"/>")
        .arg(style ? QStringLiteral(" table:style-name=\"%1\"").arg(QLatin1String(style)) : QString())
        .arg(QString::number(value, 'f', 3));
}

// A shop's export as flat ODF: zero-padded phones and postcodes, an order date.
QByteArray shipmentXml(int rows)
{
    QString out = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document "
        "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
        "xmlns:number=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\" "
        "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" office:version=\"1.2\" "
        "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\"><office:automatic-styles>"
        "<number:number-style style:name=\"N11\"><number:number number:decimal-places=\"0\" "
        "number:min-integer-digits=\"11\"/></number:number-style>"
        "<number:number-style style:name=\"N6\"><number:number number:decimal-places=\"0\" "
        "number:min-integer-digits=\"6\"/></number:number-style>"
        "<number:date-style style:name=\"ND\"><number:year number:style=\"long\"/><number:text>-</number:text>"
        "<number:month number:style=\"long\"/><number:text>-</number:text><number:day number:style=\"long\"/>"
        "</number:date-style>"
        "<style:style style:name=\"phone\" style:family=\"table-cell\" style:data-style-name=\"N11\"/>"
        "<style:style style:name=\"zip\" style:family=\"table-cell\" style:data-style-name=\"N6\"/>"
        "<style:style style:name=\"day\" style:family=\"table-cell\" style:data-style-name=\"ND\"/>"
        "</office:automatic-styles><office:body><office:spreadsheet><table:table table:name=\"订单\">");
    out += QStringLiteral("<table:table-row>") + cell(QStringLiteral("某某商城发货清单")) +
           QStringLiteral("</table:table-row><table:table-row>");
    for (const char16_t *h : {u"快递单号", u"目的城市", u"网络渠道", u"类型",     u"件数", u"重量(g)", u"发件人",
                              u"发件电话", u"收货人",   u"收件单位", u"详细地址", u"手机", u"邮编",    u"收件国家",
                              u"收件省州", u"收件城市", u"品名",     u"数量",     u"单价", u"下单日期"})
        out += cell(QString::fromUtf16(h));
    out += QStringLiteral("</table:table-row>");
    for (int i = 1; i <= rows; ++i) {
        out += QStringLiteral("<table:table-row>") + cell(QStringLiteral("BN%1CN").arg(i, 9, 10, QLatin1Char('0'))) +
               cell(i % 3 ? QStringLiteral("北京") : QStringLiteral("USA")) + cell(QStringLiteral("特快专递")) +
               cell(i % 5 ? QStringLiteral("包裹") : QStringLiteral("文件")) + number(1 + i % 4) +
               number(500 + (i % 40) * 250) + cell(QStringLiteral("发件人%1").arg(i % 17)) +
               cell(QStringLiteral("0755-8888%1").arg(i % 10000, 4, 10, QLatin1Char('0'))) +
               cell(QStringLiteral("收件人%1").arg(i)) + cell(QStringLiteral("收件公司%1有限公司").arg(i % 311)) +
               cell(QStringLiteral("某某区某某路%1号%2室").arg(i).arg(i % 900)) + number(1000000000.0 + i, "phone") +
               number(i % 900 + 10000, "zip") + cell(QStringLiteral("中国")) + cell(QStringLiteral("北京")) +
               cell(QStringLiteral("北京市")) + cell(QStringLiteral("文件资料样品 %1").arg(i % 50)) +
               number(1 + i % 9) + number(12.5 + i % 7) + number(45356 + i % 30, "day") +
               QStringLiteral("</table:table-row>");
    }
    out += QStringLiteral("</table:table></office:spreadsheet></office:body></office:document>\n");
    return out.toUtf8();
}

// The sheet as an .xlsx saved by the office.
QString saveAs(const QTemporaryDir &dir, const QString &name, const QByteArray &fods)
{
    const QString source = dir.filePath(name + QStringLiteral(".fods"));
    QFile file(source);
    if (!file.open(QIODevice::WriteOnly) || file.write(fods) != fods.size())
        qFatal("cannot write %s", qPrintable(source));
    file.close();
    const QString path = dir.filePath(name + QStringLiteral(".xlsx"));
    QString error;
    auto document = engine().open(source, SpreadsheetEngine::Access::Edit, &error);
    if (!document || !document->save(path))
        qFatal("cannot make the sheet: %s", qPrintable(document ? document->errorText() : error));
    document->close();
    return path;
}

QString contactSheet(const QTemporaryDir &dir, int rows)
{
    QList<QList<QVariant>> cells{{QStringLiteral("姓名"), QStringLiteral("手机"), QStringLiteral("详细地址")}};
    for (int i = 1; i <= rows; ++i)
        cells.append({QStringLiteral("客户%1").arg(i), QStringLiteral("138%1").arg(i, 8, 10, QLatin1Char('0')),
                      QStringLiteral("上海市浦东新区世纪大道%1号").arg(i)});
    const QString path = dir.filePath(QStringLiteral("contacts-%1.xlsx").arg(rows));
    QString error;
    auto document = engine().create(path, &error);
    if (!document || !document->setBlock(1, 1, cells) || !document->save(path))
        qFatal("cannot make the sheet: %s", qPrintable(document ? document->errorText() : error));
    document->close();
    return path;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double engineOpen(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    QString error;
    auto document = engine().open(path, SpreadsheetEngine::Access::Read, &error);
    if (!document)
        qFatal("cannot open: %s", qPrintable(error));
    document->close();
    return timer.nsecsElapsed() / 1e6;
}

// The engine's open with the sheet read in blocks as the import reads it,
// and nothing done with the cells: what the office costs the import.
double engineOpenAndRead(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    QString error;
    auto document = engine().open(path, SpreadsheetEngine::Access::Read, &error);
    int rows = 0, columns = 0;
    if (!document || !document->usedExtent(rows, columns))
        qFatal("cannot open: %s", qPrintable(error));
    SheetBlock block;
    for (int row = 1; row <= rows; row += SheetImport::kBlockRows)
        document->readBlock(row, 1, std::min(SheetImport::kBlockRows, rows - row + 1), columns, block);
    document->close();
    return timer.nsecsElapsed() / 1e6;
}

double convertToCsv(const QTemporaryDir &dir, const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    QProcess soffice;
    soffice.start(QStringLiteral("soffice"),
                  {QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile")),
                   QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("csv"),
                   QStringLiteral("--outdir"), dir.filePath(QStringLiteral("csv")), path});
    soffice.waitForFinished(300000);
    return timer.nsecsElapsed() / 1e6;
}

struct Context {
    QTemporaryDir root;
    ClientContext context{root.path() + u'/'};
    ScriptedPrompter prompter;

    Context()
    {
        context.setSpreadsheetEngine(&engine());
        if (!context.Start(prompter))
            qFatal("cannot start the context");
        context.baseData().parse("xx\nEMB\nEMS\t" + Gbk::fromUnicode(QStringLiteral("特快专递")) +
                                 "\n\nEME\n\nGPB\n0,1\tBJ\tBEIJING\t100000\t" +
                                 Gbk::fromUnicode(QStringLiteral("北京市")) + "\t" +
                                 Gbk::fromUnicode(QStringLiteral("中国")) + "\n2,12\tUS\tAMERICA\t\tUSA\tUSA\n\nGPE\n");
    }

    // Milliseconds from the start of the last import until its first row was handed over.
    double firstRowMs = 0;

    double import(SheetImportRules &rules, const QString &path, int rows)
    {
        QElapsedTimer timer;
        timer.start();
        ExcelSession session(context, prompter);
        SheetImport reader(session, rules);
        reader.setProgress([&](int, int) {
            if (firstRowMs == 0)
                firstRowMs = timer.nsecsElapsed() / 1e6;
            return true;
        });
        const SheetImportReport report = reader.Run(path);
        context.FlushRecords();
        const double ms = timer.nsecsElapsed() / 1e6;
        if (report.written != rows)
            qFatal("imported %d of %d rows: %s", report.written, rows, qPrintable(report.message));
        return ms;
    }
};

double importRecords(const QString &path, int rows)
{
    Context c;
    PreInputImport rules(c.context.preInputs(), {c.context.baseData(), c.context.settings()});
    return c.import(rules, path, rows);
}

// The whole import, and the part of it after the office had loaded the sheet.
std::pair<double, double> importContacts(const QString &path, int rows)
{
    Context c;
    ContactImport rules(c.context.contacts());
    const double ms = c.import(rules, path, rows);
    return {ms, ms - c.firstRowMs};
}

int records(int rows, int runs)
{
    QTemporaryDir dir;
    const QString sheet = saveAs(dir, QStringLiteral("shipments"), shipmentXml(rows));
    convertToCsv(dir, sheet); // the first run makes the profile
    QList<double> opens, reads, converts, imports;
    for (int i = 0; i < runs; ++i) {
        opens << engineOpen(sheet);
        reads << engineOpenAndRead(sheet);
        converts << convertToCsv(dir, sheet);
        imports << importRecords(sheet, rows);
    }
    std::printf("records: rows %d, runs %d (medians)\n", rows, runs);
    std::printf("engine open of the .xlsx:      %8.1f ms\n", median(opens));
    std::printf("engine open and block reads:   %8.1f ms\n", median(reads));
    std::printf("soffice --convert-to csv:      %8.1f ms\n", median(converts));
    std::printf("import (open, read, write):    %8.1f ms\n", median(imports));
    std::printf("import / engine open:          %8.2f x\n", median(imports) / median(opens));
    std::printf("import / convert-to csv:       %8.2f x\n", median(imports) / median(converts));
    return 0;
}

int contacts(const QList<int> &sizes)
{
    QTemporaryDir dir;
    QList<double> times, rowTimes;
    for (const int rows : sizes) {
        const QString sheet = contactSheet(dir, rows);
        const double open = engineOpen(sheet);
        const auto [ms, rowMs] = importContacts(sheet, rows);
        times << ms;
        rowTimes << rowMs;
        std::printf("contacts without codes: %6d rows  import %8.1f ms, of which the rows %8.1f ms (%.4f ms a row); "
                    "engine open %.1f ms\n",
                    rows, ms, rowMs, rowMs / rows, open);
    }
    for (int i = 1; i < int(sizes.size()); ++i)
        std::printf("%d rows / %d rows: import %.2f x, rows %.2f x, for %.2f x the rows\n", sizes[i], sizes[i - 1],
                    times[i] / times[i - 1], rowTimes[i] / rowTimes[i - 1], double(sizes[i]) / sizes[i - 1]);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString error;
    if (!engine().start(&error))
        qFatal("no office: %s", qPrintable(error));
    const QStringList args = app.arguments().mid(1);
    int code = 0;
    if (args.value(0) == QLatin1String("contacts")) {
        QList<int> sizes;
        for (const QString &a : args.mid(1))
            sizes << a.toInt();
        code = contacts(sizes.isEmpty() ? QList<int>{2000, 5000, 20000} : sizes);
    } else {
        code = records(args.value(1, QStringLiteral("10000")).toInt(), args.value(2, QStringLiteral("3")).toInt());
    }
    OfficeEngine::shutdownProcessEngine();
    return code;
}
