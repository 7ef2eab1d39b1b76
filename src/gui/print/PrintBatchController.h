#pragma once

#include "print/PrintBatch.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

namespace quarvel {

// Runs a print batch for a page: the worker prints, this object takes its
// reports on the user-interface thread as they come, shows the progress in
// the status pane and, at the end, says which documents failed and why.
class PrintBatchController : public QObject, private PrintBatch::Display {
    Q_OBJECT

public:
    using ShowOperation = std::function<void(const QString &text)>;
    using Ended = std::function<void(const PrintBatch::Ending &ending, const QStringList &failures)>;

    PrintBatchController(const QString &what, ShowOperation showOperation, QObject *parent = nullptr);
    ~PrintBatchController() override;

    // Starts the batch; false when it is empty or another one runs.
    bool start(std::unique_ptr<PrintBatch> batch, Ended ended);
    bool running() const { return batch_ != nullptr; }
    void stop();

signals:
    // One document done (printed or not), with the record's id.
    void documentFinished(int id);
    // The batch has ended.
    void finished();

private:
    void drain();
    void documentDone(const PrintBatch::Report &report) override;
    void batchEnded(const PrintBatch::Ending &ending) override;

    QString what_;
    ShowOperation showOperation_;
    Ended ended_;
    std::unique_ptr<PrintBatch> batch_;
    QStringList failures_;
};

} // namespace quarvel
