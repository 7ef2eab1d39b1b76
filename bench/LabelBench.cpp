// Label sheets to PDF with the shipped default label template (2 x 5 labels
// on A4): 100 records on 10 sheets through the printing worker and one
// office, the time of each sheet as the worker reports it. Run by hand:
// build/bench/label_bench
#include "OfficeEngine.h"
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "print/LabelFields.h"
#include "print/PrintBatch.h"
#include "text/Gbk.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace quarvel;

namespace {

PreInputRecord record(int i)
{
    PreInputRecord r{};
    r.ddate = {2024, 3, 5};
    r.npieces = 1 + i % 3;
    r.fweight = 0.5 + i;
    r.npayway = i % 3;
    r.nitemtype = i % 2;
    Gbk::setField(r.cnum, QStringLiteral("DE9012%1").arg(i, 7, 10, QLatin1Char('0')));
    Gbk::setField(r.cdes, QStringLiteral("北京"));
    Gbk::setField(r.cemskind, QStringLiteral("EMS"));
    Gbk::setField(r.csender, QStringLiteral("张三"));
    Gbk::setField(r.csenderaddr, QStringLiteral("广东省深圳市南山区科技园演示路1号"));
    Gbk::setField(r.csenderphone, QStringLiteral("0755-88886666"));
    Gbk::setField(r.creceiver, QStringLiteral("李四"));
    Gbk::setField(r.creceivercorp, QStringLiteral("现代城物业"));
    Gbk::setField(r.creceiveraddr, QStringLiteral("北京市朝阳区建国路88号 现代城A座 1201室 前台代收"));
    Gbk::setField(r.cphone, QStringLiteral("010-66668888"));
    Gbk::setField(r.cgoods, QStringLiteral("茶叶"));
    return r;
}

// Each sheet's time, from the previous report (or the start) to its own.
class Clock : public PrintBatch::Display {
public:
    explicit Clock(QElapsedTimer &timer) : timer_(timer) {}
    void documentDone(const PrintBatch::Report &r) override
    {
        const qint64 now = timer_.elapsed();
        sheetMs.push_back(now - last_);
        last_ = now;
        failed += r.outcome.ok() ? 0 : 1;
        if (!r.outcome.ok())
            std::fprintf(stderr, "sheet %d: %s\n", r.done, qPrintable(r.outcome.message));
    }
    void batchEnded(const PrintBatch::Ending &) override {}

    std::vector<qint64> sheetMs;
    int failed = 0;

private:
    QElapsedTimer &timer_;
    qint64 last_ = 0;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    ScriptedPrompter prompter;
    ClientContext context(root.path());
    OfficeEngine &office = OfficeEngine::processEngine();
    context.setSpreadsheetEngine(&office);
    if (!context.Start(prompter) || !context.templates().labelLayout().IsValid()) {
        std::fputs("no installation with the default label template\n", stderr);
        return 1;
    }
    PrintDestination::Folder(root.filePath(QStringLiteral("printed"))).Save(root.path());
    QList<int> ids;
    for (int i = 1; i <= 100; ++i) {
        PreInputRecord r = record(i);
        context.preInputs().Append(&r);
        ids << r.iid;
    }
    QString error;
    QElapsedTimer timer;
    timer.start();
    if (!office.start(&error)) {
        std::fprintf(stderr, "the office does not start: %s\n", qPrintable(error));
        return 1;
    }
    const qint64 startMs = timer.elapsed();

    // The part on the user-interface thread: the records read and their label texts made.
    timer.restart();
    PrintBatch batch(context);
    batch.AddLabelSheets(ids);
    const qint64 prepareMs = timer.elapsed();
    const LabelFields::Options options = LabelFields::Options::Of(*context.templates().labelLayout().labelTemplate());
    const int writes = int(LabelFields::FromRecord(record(1), options, QString(), context.baseData()).writes().size());

    timer.restart();
    Clock clock(timer);
    batch.Start();
    batch.DrainUntilEnded(clock);
    const double total = timer.elapsed() / 1000.0;

    std::vector<qint64> sorted = clock.sheetMs;
    std::sort(sorted.begin(), sorted.end());
    std::printf("office start: %.2f s\n", startMs / 1000.0);
    std::printf("100 records made into %d sheets on the user-interface thread: %lld ms (%d texts a label)\n",
                batch.size(), static_cast<long long>(prepareMs), writes);
    std::printf("%zu sheets printed in %.2f s, %d failed: %.3f s a sheet, %.3f s a label\n", clock.sheetMs.size(),
                total, clock.failed, total / double(clock.sheetMs.size()), total / 100);
    if (!sorted.empty())
        std::printf("per sheet: min %lld ms, median %lld ms, max %lld ms (the first %lld ms)\n",
                    static_cast<long long>(sorted.front()), static_cast<long long>(sorted[sorted.size() / 2]),
                    static_cast<long long>(sorted.back()), static_cast<long long>(clock.sheetMs.front()));
    OfficeEngine::shutdownProcessEngine();
    return clock.failed == 0 && clock.sheetMs.size() == 10 ? 0 : 1;
}
