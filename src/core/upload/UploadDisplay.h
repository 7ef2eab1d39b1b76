#pragma once

#include "upload/UploadEnding.h"

#include <QString>

namespace quarvel {

// Where an upload run shows itself: the status-bar text and the list rows in
// the window, standard error and standard output on the command line.
class UploadDisplay {
public:
    virtual ~UploadDisplay() = default;
    // The progress text after every record.
    virtual void uploadProgress(const QString &text) = 0;
    // One record's result, in list order, once the local files show it:
    // `removed` when the record is gone with its lines (accepted); otherwise
    // `text` is the reason that stays in its row.
    virtual void uploadResult(int id, int status, bool removed, const QString &text) = 0;
    // A provisional waybill number was completed in the stored record just
    // before the record was sent.
    virtual void uploadNumberCompleted(int /*id*/, const QString & /*number*/) {}
    // The last notification of every run, whatever ended it.
    virtual void uploadEnded(UploadEnding ending, const QString &text) = 0;
};

} // namespace quarvel
