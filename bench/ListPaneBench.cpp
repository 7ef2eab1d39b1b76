// Filling, sorting and scrolling a record list of 100,000 rows, against making
// the same rows in plain vectors. Runs on Qt's offscreen platform.
#include "app/ScriptedPrompter.h"
#include "list/RecordListModel.h"
#include "listpane/CRecordListCtrl.h"
#include "shell/PageCatalog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>

#include <cstdio>
#include <vector>

using namespace quarvel;

namespace {

QStringList cellsOf(int i)
{
    return {QString(),
            QString(),
            QStringLiteral("2026-12-07"),
            QStringLiteral("A2612070%1").arg(i % 100000, 5, 10, QLatin1Char('0')),
            QStringLiteral("包裹"),
            QString::number(1 + i % 5),
            QString::number((i % 977) * 0.125, 'f', 3),
            QString::number((i % 313) * 1.5, 'f', 2),
            QStringLiteral("北京市朝阳区%1").arg(i % 40),
            QStringLiteral("特快专递"),
            QStringLiteral("现付"),
            QStringLiteral("张三"),
            QStringLiteral("市场部"),
            QStringLiteral("王五%1").arg(i % 97),
            QString(),
            QStringLiteral("文件"),
            QString()};
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;

    QElapsedTimer t;
    t.start();
    std::vector<std::vector<QString>> plain;
    plain.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const QStringList cells = cellsOf(i);
        plain.emplace_back(cells.begin(), cells.end());
    }
    const qint64 plainMs = t.elapsed();

    ScriptedPrompter prompter;
    CRecordListCtrl list(prompter);
    list.resize(1200, 800);
    list.list().setColumns(PageCatalog::Columns(PageCatalog::PreInput));
    list.show();
    t.restart();
    std::vector<RecordListModel::Row> rows;
    rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        rows.push_back({i + 1, cellsOf(i), RecordListModel::kBlack, RecordListModel::kWhite, false});
    list.list().setRows(std::move(rows));
    QApplication::processEvents();
    const qint64 fillMs = t.elapsed();

    t.restart();
    list.list().sortByHeader(6); // weight, numeric
    QApplication::processEvents();
    const qint64 numericMs = t.elapsed();
    t.restart();
    list.list().sortByHeader(13); // receiver, text
    QApplication::processEvents();
    const qint64 textMs = t.elapsed();

    t.restart();
    for (int step = 0; step < 200; ++step) {
        list.verticalScrollBar()->setValue(step * count / 200);
        list.viewport()->repaint();
    }
    const qint64 scrollMs = t.elapsed();

    std::printf("%d rows: plain vectors %lld ms; list fill %lld ms (%.2fx)\n", count, plainMs, fillMs,
                double(fillMs) / double(std::max<qint64>(plainMs, 1)));
    std::printf("sort numeric column %lld ms, text column %lld ms; 200 scroll-and-paint steps %lld ms\n", numericMs,
                textMs, scrollMs);
    return 0;
}
