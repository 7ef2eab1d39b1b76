// The checkpoint scan page typed into as a scanner types: 13 characters and
// Enter per scan, key by key through the waybill field, with the list growing
// by a row each time. The cost of scan number 100 against scan number 10,000
// (medians of 41): the keys, the save and the new row, and apart from them the
// drawing of the window that follows each scan. The root is on /dev/shm so
// that the page's own work is timed and not the disk's write-back
// (scan_save_bench has the disk's figures). Runs on Qt's offscreen platform.
// An argument sets the number of scans (default 10,020).
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "scan/CCheckPage.h"
#include "scan/CCheckPane.h"
#include "shell/FileChooser.h"
#include "shell/PageEnv.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

using namespace quarvel;

namespace {

using Clock = std::chrono::steady_clock;

class NoFiles : public FileChooser {
public:
    QString saveFileName(QWidget *, const QString &, const QStringList &, int *) override { return {}; }
    QString openFileName(QWidget *, const QString &, const QStringList &) override { return {}; }
};

void key(QWidget *to, int code, const QString &text, quint64 at)
{
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, code, Qt::NoModifier, text);
        event.setTimestamp(at);
        QCoreApplication::sendEvent(to, &event);
    }
}

double threadMicros()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

double median(const std::vector<double> &times, int first, int last)
{
    std::vector<double> window(times.begin() + first - 1, times.begin() + last);
    std::nth_element(window.begin(), window.begin() + window.size() / 2, window.end());
    return window[window.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir(QStringLiteral("/dev/shm/scanpagebench-XXXXXX"));
    ClientContext context(dir.path() + u'/');
    ScriptedPrompter prompter;
    if (!context.Start(prompter))
        return 1;
    NoFiles files;
    PageEnv env{context, prompter, files, {}};
    CCheckPane pane(env);
    pane.resize(1400, 900);
    pane.show();
    pane.Initialise();
    QLineEdit *field = pane.page().numberField();
    field->setFocus();

    const int count = argc > 1 ? std::atoi(argv[1]) : 10020;
    std::vector<double> times;
    std::vector<double> cpu;
    std::vector<double> paint;
    quint64 at = 1'000'000;
    for (int i = 1; i <= count; ++i) {
        const QString number = QStringLiteral("BN%1CN").arg(i, 9, 10, QLatin1Char('0'));
        const auto t = Clock::now();
        const double c0 = threadMicros();
        for (QChar c : number)
            key(field, c.unicode(), QString(c), at += 2);
        key(field, Qt::Key_Return, QStringLiteral("\r"), at += 2);
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t).count());
        cpu.push_back(threadMicros() - c0);
        // What follows each scan when scans come one by one: the window is drawn again.
        const double p0 = threadMicros();
        QCoreApplication::processEvents();
        paint.push_back(threadMicros() - p0);
        at += 100;
    }
    if (pane.list().rowCount() != count || context.checks().GetCount() != count || pane.page().sessionRefusals()) {
        std::fprintf(stderr, "rows %d, records %d, refusals %d\n", pane.list().rowCount(), context.checks().GetCount(),
                     pane.page().sessionRefusals());
        return 1;
    }
    const int last = count - 20;
    std::printf("scan page, wall: scan 100 %8.1f us, scan %d %8.1f us (keys, save, row), ratio %.2f\n",
                median(times, 80, 120), last, median(times, last - 20, last + 20),
                median(times, last - 20, last + 20) / median(times, 80, 120));
    std::printf("drawing the window after a scan, CPU: scan 100 %8.1f us, scan %d %8.1f us\n", median(paint, 80, 120),
                last, median(paint, last - 20, last + 20));
    std::printf("scan page, CPU:  scan 100 %8.1f us, scan %d %8.1f us, ratio %.2f\n", median(cpu, 80, 120), last,
                median(cpu, last - 20, last + 20), median(cpu, last - 20, last + 20) / median(cpu, 80, 120));
    context.Shutdown();
    return 0;
}
