#pragma once

#include "preinput/WaybillTidy.h"
#include "upload/AcceptedRecords.h"
#include "upload/UploadEnding.h"
#include "upload/UploadJob.h"
#include "upload/UploadKind.h"

#include <QByteArray>
#include <QList>

#include <deque>
#include <functional>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace quarvel {

class ClientContext;
class UploadDisplay;

// One upload from the user-interface thread's side. Prepare takes the ids of
// the chosen records; Start hands them to the worker; Drain applies what the
// worker reported and builds the envelope of each record when the worker
// asks for it, from the record as the files hold it then (completing its
// provisional waybill number in the stored record first). Accepted records are deleted in batches
// (AcceptedRecords); every batch is deleted before its results are shown, and
// the last one before the run is reported ended. The worker records every
// send and acceptance in the upload journal first, so a run that dies inside
// a batch is finished at the next start; the end of a run settles the journal.
// A shipment whose earlier send may have been stored is looked up when the
// server answers "单号重复" and finished when the server holds it as sent;
// a scan in doubt is not sent again.
class UploadRun {
public:
    UploadRun(ClientContext &context, UploadKind kind);
    // Stops the worker after its record and applies what it reported.
    ~UploadRun();
    UploadRun(const UploadRun &) = delete;
    UploadRun &operator=(const UploadRun &) = delete;

    // The records with these ids, in this order, each sent once (ids missing
    // from the file are reported as records that cannot be built).
    void Prepare(const QList<int> &ids);
    // Sets the session's busy flag and starts the worker; false (and nothing
    // started) while another upload or pricing job runs. `wake` is called on
    // the worker's thread after every report.
    bool Start(std::function<void()> wake = {});
    void RequestStop();
    bool stopRequested() const;
    // Applies the reports that arrived. True while the run goes on.
    bool Drain(UploadDisplay &display);
    // Waits up to `milliseconds` for reports (command line and tests).
    bool WaitForEvents(int milliseconds);
    // Runs Drain until the run ends, waiting in between.
    void DrainUntilEnded(UploadDisplay &display);

    UploadKind kind() const { return kind_; }
    int total() const { return job_ ? job_->total() : 0; }
    bool started() const { return started_; }
    bool ended() const { return ended_; }
    // What the run could not write to the disk after the server accepted
    // records (their ledger lines, their deletion); empty when all went.
    QString storageFailure() const { return accepted_.failure(); }

private:
    struct Result {
        int id;
        int status;
        UploadJob::Doubt doubt;
    };

    UploadJob::Item prepareShipment(int id, UploadDisplay &display);
    UploadJob::Item prepareScan(int id);
    void releaseResults(UploadDisplay &display);
    QString refusalText(const Result &r) const;

    ClientContext &context_;
    UploadKind kind_;
    std::unique_ptr<UploadJob> job_;
    // The record bytes each envelope was built from, to see an edit made
    // while the record was on its way.
    std::unordered_map<int, QByteArray> sentCopies_;
    // Records an earlier send may have stored without the counter learning it.
    std::unordered_set<int> doubted_;
    AcceptedRecords accepted_;
    std::deque<Result> results_;
    bool started_ = false;
    bool ended_ = false;
    UploadJob::Event end_;
};

} // namespace quarvel
