// A scale streaming at 9600 baud into the pre-entry page for ten minutes:
// the client as `quarvel` starts it (offscreen), its weight field holding the
// focus, a continuous scale on a socat pseudo-terminal fed by a second
// process at the line's pace (parcels put on and taken off every ten
// seconds). Prints the client's CPU time and its memory at start and end.
//
//   scale_stream_bench [--seconds N]        (600 by default)
#include "app/ScriptedPrompter.h"
#include "preinput/CPreInputPage.h"
#include "preinput/CPreInputPane.h"
#include "scale/ScaleDevice.h"
#include "scale/ScaleLink.h"
#include "scale/ScaleSettings.h"
#include "shell/CMainFrame.h"
#include "shell/CTarvoClientView.h"
#include "shell/ClientProgram.h"
#include "shell/PageCatalog.h"
#include "support/ScalePty.h"
#include "support/ScriptedFiles.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <sys/resource.h>

using namespace quarvel;

namespace {

// One frame of a continuous grams scale; the weight of the parcel on the
// plate at that moment (ten-second cycles: on, settle, hold, off).
QByteArray frameAt(double seconds)
{
    const int cycle = int(seconds / 10);
    const double t = seconds - cycle * 10;
    const int parcel = 500 + (cycle * 733) % 20000;
    int grams = 0;
    if (t < 1)
        grams = int(parcel * t);
    else if (t < 9)
        grams = parcel + (t < 2 ? int(10 * (2 - t)) : 0);
    return "=" + QByteArray::number(grams).rightJustified(6, '0') + "\r";
}

// The scale: writes frames into the pseudo-terminal at `baud` for `seconds`.
int writeFrames(const char *path, int baud, double seconds)
{
    const int fd = ::open(path, O_RDWR | O_NOCTTY);
    if (fd < 0)
        return 2;
    const auto start = std::chrono::steady_clock::now();
    long long sent = 0;
    for (;;) {
        const double now = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (now >= seconds)
            break;
        const QByteArray frame = frameAt(now);
        if (::write(fd, frame.constData(), size_t(frame.size())) != frame.size())
            return 3;
        sent += frame.size();
        std::this_thread::sleep_until(start + std::chrono::microseconds(sent * 10'000'000 / baud));
    }
    std::printf("%lld\n", sent);
    return 0;
}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// VmRSS or VmHWM of this process, in kilobytes.
long memoryKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 5 && qstrcmp(argv[1], "--write") == 0)
        return writeFrames(argv[2], atoi(argv[3]), atof(argv[4]));
    double seconds = 600;
    if (argc == 3 && qstrcmp(argv[1], "--seconds") == 0)
        seconds = atof(argv[2]);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ScalePty pty;
    QTemporaryDir root;
    if (!pty.ok() || !root.isValid()) {
        std::fprintf(stderr, "socat or a temporary folder is missing\n");
        return 2;
    }
    ScaleSettings s;
    s.enabled = 1;
    s.type = ScaleSettings::Grams;
    s.dataLength = 8;
    s.baud = 9600;
    s.Save(root.filePath(ScaleSettings::fileName()));
    QDir().mkpath(root.filePath(QStringLiteral("DATA_SYS")));
    QFile device(root.filePath(ScaleDevice::fileName()));
    if (!device.open(QIODevice::WriteOnly) || device.write(pty.device().toUtf8() + '\n') <= 0)
        return 2;
    device.close();

    ScriptedPrompter prompter;
    ScriptedFiles files;
    ClientProgram program(root.path(), prompter, files);
    if (!program.InitInstance(true))
        return 2;
    CMainFrame &frame = *program.frame();
    auto *pane = dynamic_cast<CPreInputPane *>(frame.view().page(PageCatalog::PreInput));
    frame.activateWindow();
    QElapsedTimer wait;
    wait.start();
    while (QApplication::activeWindow() != &frame && wait.elapsed() < 3000)
        app.processEvents(QEventLoop::AllEvents, 20);
    QLineEdit *weight = pane->page().edit(QStringLiteral("fweight"));
    weight->setFocus();
    app.processEvents();
    ScaleLink &link = program.context().scale();
    if (!link.isOpen()) {
        std::fprintf(stderr, "the weight field did not open the scale: %s\n", qPrintable(link.lastError()));
        return 2;
    }

    const double cpuStart = cpuSeconds();
    const long rssStart = memoryKb("VmRSS:");
    QProcess scale;
    scale.start(QString::fromLocal8Bit(argv[0]),
                {QStringLiteral("--write"), pty.scaleEnd(), QStringLiteral("9600"), QString::number(seconds)});
    QElapsedTimer clock;
    clock.start();
    std::printf("streaming %.0f s at 9600 baud into the weight field (%s)\n", seconds, qPrintable(pty.device()));
    std::printf("%8s %10s %12s %10s %10s\n", "seconds", "readings", "weight", "cpu s", "rss kB");
    // The event loop waits as the window's does; a report every minute.
    int minutes = 0;
    QTimer report;
    QObject::connect(&report, &QTimer::timeout, [&] {
        std::printf("%8d %10d %12s %10.2f %10ld\n", 60 * ++minutes, link.readings(), qPrintable(weight->text()),
                    cpuSeconds() - cpuStart, memoryKb("VmRSS:"));
        std::fflush(stdout);
    });
    report.start(60000);
    QObject::connect(&scale, &QProcess::finished, &app, &QApplication::quit);
    QTimer::singleShot(int((seconds + 10) * 1000), &app, &QApplication::quit);
    app.exec();
    const double elapsed = clock.elapsed() / 1000.0;
    const double cpu = cpuSeconds() - cpuStart;
    const long rssEnd = memoryKb("VmRSS:");
    const QByteArray sent = scale.readAllStandardOutput().trimmed();
    std::printf("\nbytes sent by the scale:   %s\n", sent.constData());
    std::printf("weights read by the page:  %d (%.1f a second)\n", link.readings(), link.readings() / elapsed);
    std::printf("weight field at the end:   %s\n", qPrintable(weight->text()));
    std::printf("client CPU time:           %.2f s over %.0f s (%.2f%% of one core)\n", cpu, elapsed,
                100 * cpu / elapsed);
    std::printf("client memory (RSS):       %ld kB at start, %ld kB at end (peak %ld kB)\n", rssStart, rssEnd,
                memoryKb("VmHWM:"));
    program.ExitInstance();
    return 0;
}
