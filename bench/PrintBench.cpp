// Waybill printing to PDF with the shipped default template: 20 waybills
// through one office against an office started for each document, and 200
// waybills through one office with the office process's memory before and
// after (measured once the office's caches have filled over its first
// hundred documents). Run by hand: build/bench/print_bench
// With "--growth N" it prints N waybills through one office instead and
// shows the office's memory after every hundred, to see whether it levels off.
#include "OfficeEngine.h"
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "print/DocumentPrinter.h"
#include "print/FieldValues.h"
#include "print/WaybillSheet.h"
#include "text/Gbk.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

using namespace quarvel;

namespace {

FieldValues values(int i)
{
    PreInputRecord r{};
    r.ddate = {2024, 3, 5};
    r.npieces = 1 + i % 3;
    r.fweight = 0.5 + i;
    r.npayway = i % 3;
    r.nitemtype = i % 2;
    Gbk::setField(r.cnum, QStringLiteral("DE9012%1").arg(i, 7, 10, QLatin1Char('0')));
    Gbk::setField(r.cdes, QStringLiteral("北京"));
    Gbk::setField(r.csender, QStringLiteral("张三"));
    Gbk::setField(r.csenderaddr, QStringLiteral("广东省深圳市南山区科技园演示路1号"));
    Gbk::setField(r.csenderphone, QStringLiteral("0755-88886666"));
    Gbk::setField(r.creceiver, QStringLiteral("李四"));
    Gbk::setField(r.creceiveraddr, QStringLiteral("北京市朝阳区建国路88号 现代城A座 1201室"));
    Gbk::setField(r.cphone, QStringLiteral("010-66668888"));
    Gbk::setField(r.cgoods, QStringLiteral("茶叶"));
    return FieldValues::FromRecord(r, QStringLiteral("demo"), BaseData());
}

long residentKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

bool print(SpreadsheetEngine &engine, ClientContext &context, int i)
{
    SheetPrinter::Setup setup = DocumentPrinter::SetupOf(context);
    setup.engine = &engine;
    const PrintOutcome o = WaybillSheet::Print(setup, *context.templates().slot(TemplateKind::Waybill), values(i));
    if (!o.ok())
        std::fprintf(stderr, "waybill %d: %s\n", i, qPrintable(o.message));
    return o.ok();
}

int growth(SpreadsheetEngine &engine, ClientContext &context, qint64 pid, int count)
{
    QElapsedTimer timer;
    timer.start();
    std::printf("0 waybills: office VmRSS %ld kB\n", residentKb(pid));
    for (int i = 1; i <= count; ++i) {
        print(engine, context, i);
        if (i % 100 == 0)
            std::printf("%d waybills: office VmRSS %ld kB, %.3f s a waybill so far\n", i, residentKb(pid),
                        timer.elapsed() / 1000.0 / i);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    ScriptedPrompter prompter;
    ClientContext context(root.path());
    if (!context.Start(prompter) || !context.templates().slot(TemplateKind::Waybill)) {
        std::fputs("no installation with the default waybill template\n", stderr);
        return 1;
    }
    PrintDestination::Folder(root.filePath(QStringLiteral("printed"))).Save(root.path());
    OfficeEngine &office = OfficeEngine::processEngine();
    QString error;
    QElapsedTimer timer;

    timer.start();
    if (!office.start(&error)) {
        std::fprintf(stderr, "the office does not start: %s\n", qPrintable(error));
        return 1;
    }
    const qint64 startMs = timer.elapsed();
    print(office, context, 0);
    if (argc == 3 && QByteArray(argv[1]) == "--growth") {
        growth(office, context, office.officeProcessId(), QByteArray(argv[2]).toInt());
        OfficeEngine::shutdownProcessEngine();
        return 0;
    }
    timer.restart();
    for (int i = 1; i <= 20; ++i)
        print(office, context, i);
    const double oneOffice = timer.elapsed() / 1000.0;

    timer.restart();
    for (int i = 21; i <= 40; ++i) {
        OfficeEngine::Options options;
        options.profileBase = root.filePath(QStringLiteral("profiles"));
        OfficeEngine fresh(options);
        print(fresh, context, i);
        fresh.shutdown();
    }
    const double officeEach = timer.elapsed() / 1000.0;

    const qint64 pid = office.officeProcessId();
    const long started = residentKb(pid);
    for (int i = 41; i < 120; ++i)
        print(office, context, i);
    const long before = residentKb(pid);
    timer.restart();
    int ok = 0;
    for (int i = 120; i < 320; ++i)
        ok += print(office, context, i) ? 1 : 0;
    const double twoHundred = timer.elapsed() / 1000.0;
    const long after = residentKb(pid);

    std::printf("office start: %.2f s\n", startMs / 1000.0);
    std::printf("20 waybills, one office:        %.2f s (%.3f s a waybill)\n", oneOffice, oneOffice / 20);
    std::printf("20 waybills, an office for each: %.2f s (%.3f s a waybill)\n", officeEach, officeEach / 20);
    std::printf("one office is %.1f times faster\n", officeEach / oneOffice);
    std::printf("200 waybills, one office: %.2f s (%.3f s a waybill), %d printed, %d documents left open\n", twoHundred,
                twoHundred / 200, ok, office.openDocumentCount());
    std::printf("office memory (VmRSS): %ld kB after 21 documents, %ld kB after 100 (before the 200), %ld kB after, "
                "%+ld kB in the 200\n",
                started, before, after, after - before);
    OfficeEngine::shutdownProcessEngine();
    return 0;
}
