// The pre-entry import of a 5,000-row sheet against LibreOffice's own time
// to load that sheet: the engine opening the file in the running office
// (what the import cannot do without), and `soffice --convert-to csv` of it
// (a fresh office, for scale). The goal: the whole import at most twice the
// engine's open.
//
//   build/bench/sheet_import_bench [ROWS] [RUNS]
#include "OfficeEngine.h"
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "excel/ExcelSession.h"
#include "excel/SheetImport.h"
#include "preinput/PreInputImport.h"
#include "text/Gbk.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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

// A realistic sheet: 20 of the 46 columns filled, numbers as numbers.
QString makeSheet(const QString &path, int rows)
{
    const QStringList header{
        QStringLiteral("运单号"),   QStringLiteral("目的地"),   QStringLiteral("网络渠道"), QStringLiteral("类型"),
        QStringLiteral("件数"),     QStringLiteral("重量"),     QStringLiteral("发件人"),   QStringLiteral("发件电话"),
        QStringLiteral("收件人"),   QStringLiteral("收件单位"), QStringLiteral("收件地址"), QStringLiteral("收件电话"),
        QStringLiteral("收件邮编"), QStringLiteral("收件国家"), QStringLiteral("收件省州"), QStringLiteral("收件城市"),
        QStringLiteral("物品描述"), QStringLiteral("物品数量"), QStringLiteral("物品单价"), QStringLiteral("备注")};
    QList<QList<QVariant>> cells;
    QList<QVariant> first;
    for (const QString &h : header)
        first << h;
    cells << first;
    for (int i = 1; i <= rows; ++i)
        cells << QList<QVariant>{QStringLiteral("BN%1CN").arg(i, 9, 10, QLatin1Char('0')),
                                 i % 3 ? QStringLiteral("北京市") : QStringLiteral("USA"),
                                 QStringLiteral("特快专递"),
                                 i % 5 ? QStringLiteral("包裹") : QStringLiteral("文件"),
                                 double(1 + i % 4),
                                 0.5 + (i % 40) * 0.25,
                                 QStringLiteral("发件人%1").arg(i % 17),
                                 QStringLiteral("0755-8888%1").arg(i % 10000, 4, 10, QLatin1Char('0')),
                                 QStringLiteral("收件人%1").arg(i),
                                 QStringLiteral("收件公司%1有限公司").arg(i % 311),
                                 QStringLiteral("某某市某某区某某路%1号%2室").arg(i).arg(i % 900),
                                 13800000000.0 + i,
                                 100000.0 + i % 900,
                                 QStringLiteral("中国"),
                                 QStringLiteral("北京"),
                                 QStringLiteral("北京市"),
                                 QStringLiteral("文件资料样品 %1").arg(i % 50),
                                 double(1 + i % 9),
                                 12.5 + i % 7,
                                 i % 11 ? QString() : QStringLiteral("易碎品,请轻放")};
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

// The engine's open with the whole sheet read in blocks, as the import reads
// it, and nothing done with the cells.
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

// Milliseconds from the start of the import until its first row was handed over.
double firstRowMs = 0;

double importOnce(const QString &path, int rows)
{
    QTemporaryDir root;
    ClientContext context(root.path() + u'/');
    ScriptedPrompter prompter;
    context.setSpreadsheetEngine(&engine());
    if (!context.Start(prompter))
        qFatal("cannot start the context");
    context.baseData().parse("xx\nEMB\nEMS\t" + Gbk::fromUnicode(QStringLiteral("特快专递")) +
                             "\n\nEME\n\nGPB\n0,1\tBJ\tBEIJING\t100000\t" + Gbk::fromUnicode(QStringLiteral("北京市")) +
                             "\t" + Gbk::fromUnicode(QStringLiteral("中国")) +
                             "\n2,12\tUS\tAMERICA\t\tUSA\tUSA\n\nGPE\n");
    QElapsedTimer timer;
    timer.start();
    ExcelSession session(context, prompter);
    PreInputImport rules(context.preInputs(), {context.baseData(), context.settings()});
    SheetImport reader(session, rules);
    reader.setProgress([&](int row, int) {
        if (row == 2)
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 5000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    QTemporaryDir dir;
    QString error;
    if (!engine().start(&error))
        qFatal("no office: %s", qPrintable(error));
    const QString sheet = makeSheet(dir.filePath(QStringLiteral("records.xls")), rows);
    convertToCsv(dir, sheet); // the first run makes the profile
    QList<double> opens, reads, converts, imports, firstRows;
    for (int i = 0; i < runs; ++i) {
        opens << engineOpen(sheet);
        reads << engineOpenAndRead(sheet);
        converts << convertToCsv(dir, sheet);
        imports << importOnce(sheet, rows);
        firstRows << firstRowMs;
    }
    std::printf("rows %d, runs %d (medians)\n", rows, runs);
    std::printf("engine open of the .xls:       %8.1f ms\n", median(opens));
    std::printf("engine open and block reads:   %8.1f ms\n", median(reads));
    std::printf("soffice --convert-to csv:      %8.1f ms\n", median(converts));
    std::printf("import (open, read, write):    %8.1f ms\n", median(imports));
    std::printf("  of which to the first row:   %8.1f ms\n", median(firstRows));
    std::printf("import / engine open:          %8.2f x\n", median(imports) / median(opens));
    std::printf("import / convert-to csv:       %8.2f x\n", median(imports) / median(converts));
    OfficeEngine::shutdownProcessEngine();
    return 0;
}
