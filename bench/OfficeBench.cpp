// The spreadsheet engine's costs: documents from one template with the one
// office reused against a fresh office per document, and a long list export.
#include "OfficeEngine.h"
#include "app/ScriptedPrompter.h"
#include "excel/ExcelSession.h"
#include "excel/ListExcelExport.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace quarvel;

namespace {

OfficeEngine &engine()
{
    return OfficeEngine::processEngine();
}

// The test template as .xls bytes, converted once by the office.
const QByteArray &templateBytes()
{
    static const QByteArray bytes = [] {
        QTemporaryDir dir;
        QString error;
        auto document = engine().open(QStringLiteral(QUARVEL_SOURCE_DIR "/tests/data/office/waybill-template.fods"),
                                      SpreadsheetEngine::Access::Edit, &error);
        const QString path = dir.filePath(QStringLiteral("template.xls"));
        if (!document || !document->save(path))
            qFatal("cannot convert the template: %s", qPrintable(error));
        document->close();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    return bytes;
}

// One waybill: the template filled with 40 cells, page 1 printed to a PDF, saved.
void waybill(const QTemporaryDir &dir, int n, benchmark::State &state)
{
    ScriptedPrompter prompter;
    ExcelSession session(&engine(), prompter, dir.path(), PrintDestination::Folder(dir.path()));
    session.SetConfirmOverwrite(false);
    if (!session.OpenFromBytes(QStringLiteral("BILL"), dir.filePath(QStringLiteral("BILL_%1.xls").arg(n)),
                               templateBytes())) {
        state.SkipWithError(qPrintable(session.GetErrorText()));
        return;
    }
    for (int i = 0; i < 40; ++i)
        session.SetCellText(3 + i / 4, 1 + i % 4, QStringLiteral("字段%1 value %2").arg(i).arg(n));
    if (!session.PrintSheet(1, 1, 1, false) || !session.SaveAndClose())
        state.SkipWithError(qPrintable(session.GetErrorText()));
}

void TemplateDocumentsOneOffice(benchmark::State &state)
{
    QTemporaryDir dir;
    templateBytes();
    int n = 0;
    for (auto _ : state)
        waybill(dir, ++n, state);
}

void TemplateDocumentsFreshOffice(benchmark::State &state)
{
    QTemporaryDir dir;
    templateBytes();
    int n = 0;
    for (auto _ : state) {
        engine().shutdown();
        waybill(dir, ++n, state);
    }
}

void ListExport(benchmark::State &state)
{
    ListSnapshot list;
    list.title = QStringLiteral("预录业务记录");
    list.columns = {{QStringLiteral("序号"), 40, true},    {QStringLiteral("运单号"), 120, false},
                    {QStringLiteral("收件人"), 80, false}, {QStringLiteral("重量"), 64, true},
                    {QStringLiteral("电话"), 100, false},  {QStringLiteral("备注"), 65, false}};
    for (int i = 0; i < state.range(0); ++i)
        list.rows.append({QString::number(i + 1), QStringLiteral("%1").arg(i, 10, 10, QLatin1Char('0')),
                          QStringLiteral("收件人%1").arg(i), QStringLiteral("%1.5").arg(i % 30),
                          QStringLiteral("0755-8%1").arg(i % 1000, 3, 10, QLatin1Char('0')), QStringLiteral("备注")});
    QTemporaryDir dir;
    engine().start(nullptr);
    int n = 0;
    for (auto _ : state) {
        ScriptedPrompter prompter;
        ListExcelExport exporter(&engine(), prompter);
        if (!exporter.Export(list, dir.filePath(QStringLiteral("list%1.xls").arg(++n))))
            state.SkipWithError(qPrintable(prompter.lastText()));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(TemplateDocumentsOneOffice)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(TemplateDocumentsFreshOffice)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(ListExport)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    OfficeEngine::shutdownProcessEngine();
    return 0;
}
