#pragma once

#include "upload/UploadDisplay.h"
#include "upload/UploadKind.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QTimer>

#include <memory>

namespace quarvel {

class CMainFrame;
class ClientContext;
class UploadResultSink;
class UploadRun;

// Runs the frame's uploads: the frame's upload starter hands it the page and
// the ids of the selected rows; it runs the worker, shows
// the progress in status pane 1, gives each result to the page's sink and
// ends the frame's upload state on every kind of ending.
class UploadController : public QObject, private UploadDisplay {
    Q_OBJECT

public:
    static constexpr unsigned kFailureColor = 0xFF0000;

    UploadController(ClientContext &context, CMainFrame &frame, QObject *parent = nullptr);
    ~UploadController() override;

    // The page with this index uploads records of this kind into the sink.
    void registerPage(int page, UploadKind kind, UploadResultSink *sink);
    // Makes this controller the frame's upload starter and stopper.
    void attach();

    // The starter: false (nothing started) for a page that does not upload or
    // while another upload or pricing job runs.
    bool start(int page, const QList<int> &ids);
    // The stopper: the worker stops after the record it is sending.
    void stop();
    bool running() const;

signals:
    void ended(quarvel::UploadEnding ending);

private:
    struct Page {
        UploadKind kind;
        UploadResultSink *sink;
    };

    void drain();
    void uploadProgress(const QString &text) override;
    void uploadResult(int id, int status, bool removed, const QString &text) override;
    void uploadNumberCompleted(int id, const QString &number) override;
    void uploadEnded(UploadEnding ending, const QString &text) override;

    ClientContext &context_;
    CMainFrame &frame_;
    QHash<int, Page> pages_;
    UploadResultSink *sink_ = nullptr;
    std::unique_ptr<UploadRun> run_;
    QTimer timer_;
};

} // namespace quarvel
