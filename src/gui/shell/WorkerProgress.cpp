#include "shell/WorkerProgress.h"

#include <QEventLoop>
#include <QPointer>

#include <thread>

namespace quarvel {

WorkerProgress::WorkerProgress(QWidget *parent, const QString &title, const QString &firstText, const QString &stopText)
    : progress_(firstText, stopText, 0, 0, parent)
{
    progress_.setWindowTitle(title);
    progress_.setWindowModality(Qt::ApplicationModal);
    progress_.setMinimumDuration(0);
    progress_.setMinimumWidth(360);
    progress_.setAutoClose(false);
    progress_.setAutoReset(false);
    if (stopText.isEmpty())
        progress_.setCancelButton(nullptr);
    QObject::connect(&progress_, &QProgressDialog::canceled, &progress_, [this] { stop_ = true; });
}

void WorkerProgress::run(const std::function<void()> &work)
{
    progress_.show();
    QEventLoop loop;
    std::thread worker([&] {
        work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    progress_.close();
}

void WorkerProgress::report(int done, int total, const QString &text)
{
    QPointer<QProgressDialog> shown(&progress_);
    QMetaObject::invokeMethod(
        shown,
        [shown, done, total, text] {
            if (!shown)
                return;
            shown->setMaximum(total);
            shown->setValue(done);
            shown->setLabelText(text);
        },
        Qt::QueuedConnection);
}

} // namespace quarvel
