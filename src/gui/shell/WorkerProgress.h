#pragma once

#include <QProgressDialog>
#include <QString>

#include <atomic>
#include <functional>

namespace quarvel {

// Network work that must not freeze the window: it runs on a worker thread
// while a modal progress window shows how far it got, and the window keeps
// painting. The work may only read what the window does not change
// meanwhile; the modal progress window keeps the operator's hands off.
class WorkerProgress final {
public:
    // Without a stop text the progress window has no button.
    WorkerProgress(QWidget *parent, const QString &title, const QString &firstText, const QString &stopText);

    // Runs work on a worker thread and returns when it has ended.
    void run(const std::function<void()> &work);
    // From the worker: done of total, with the text to show.
    void report(int done, int total, const QString &text);
    // Set once the operator pressed the stop button.
    std::atomic<bool> &stopFlag() { return stop_; }

private:
    QProgressDialog progress_;
    std::atomic<bool> stop_{false};
};

} // namespace quarvel
