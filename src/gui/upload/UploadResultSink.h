#pragma once

#include <QString>

namespace quarvel {

// What a page with an upload list (pre-entry records, checkpoint scans)
// receives from the upload controller, on the user-interface thread.
class UploadResultSink {
public:
    virtual ~UploadResultSink() = default;
    // One record's result, in list order. `removed`: the record is gone from
    // the local files with its lines, so its row goes. Otherwise the row
    // turns red (RGB 255,0,0 on white) with `text` in column 2.
    virtual void applyUploadResult(int id, int status, bool removed, const QString &text) = 0;
    // A provisional waybill number was completed in the stored record before
    // sending: the row's "运单号" shows the new number.
    virtual void applyWaybillNumber(int /*id*/, const QString & /*number*/) {}
    // The run is over, whatever ended it.
    virtual void uploadEnded() {}
};

} // namespace quarvel
