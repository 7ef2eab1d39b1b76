#pragma once

#include "app/EventQueue.h"
#include "net/HttpTimeouts.h"
#include "upload/DoubtLookup.h"
#include "upload/UploadEnding.h"
#include "upload/UploadKind.h"

#include <QByteArray>

#include <atomic>
#include <thread>
#include <vector>

namespace quarvel {

class UploadJournal;

// The upload worker: posts envelopes prepared on the user-interface thread,
// one per record in list order, and reports every reply and the end of the
// run through an event queue. It reads nothing but its own items and writes
// nothing but its reports and the upload journal: each record is marked on
// its way before it is sent, and an acceptance is on disk before it is
// reported. A shipment an earlier send may have stored is looked up on the
// server when the server answers that it holds its number.
class UploadJob {
public:
    static constexpr int kReplySize = 1024;
    // The end code of a run whose journal could not be written: nothing is
    // sent that the counter could not find again after a crash.
    static constexpr int kNotJournaled = -20;

    struct Item {
        int id = 0;
        // Empty when the record cannot be sent; it is reported with -1.
        QByteArray envelope;
        // UploadJournal::Digest of the record bytes the envelope was built from.
        quint64 digest = 0;
        // For a shipment in doubt that still holds the bytes of the send in
        // doubt: posted when the server answers "单号重复".
        DoubtLookup lookup;
        // A scan in doubt: not sent again, since the server would store it
        // twice; it is reported as such.
        bool heldBack = false;
    };

    // What a run learnt of a record an earlier send may have stored.
    enum class Doubt {
        None,      // not in doubt, or nothing to learn
        Found,     // the server holds it as sent: reported as accepted
        Cleared,   // the server holds no such record of this customer
        Unchecked, // the look-up got no readable answer: still in doubt
        HeldBack,  // a scan in doubt, not sent
    };

    struct Event {
        bool end = false;
        // A record's reply (end false).
        int id = 0;
        int status = 0;
        Doubt doubt = Doubt::None;
        // The end of the run (end true); code is the HttpPost error or the
        // stopping status.
        UploadEnding ending = UploadEnding::AllSent;
        int code = 0;
        // Counts so far.
        int successes = 0;
        int failures = 0;
    };

    UploadJob(UploadKind kind, std::vector<Item> items, QByteArray host, HttpTimeouts timeouts, UploadJournal &journal);
    ~UploadJob();
    UploadJob(const UploadJob &) = delete;
    UploadJob &operator=(const UploadJob &) = delete;

    EventQueue<Event> &events() { return events_; }
    int total() const { return static_cast<int>(items_.size()); }

    void start();
    // Asks the worker to stop after the record it is sending.
    void requestStop() { continue_ = false; }
    bool stopRequested() const { return !continue_; }
    // Waits for the worker's end (it always reports its end first).
    void join();

private:
    void run();
    void end(UploadEnding ending, int code);
    // Posts the look-up of an item the server says it holds the number of
    // and writes what it learnt into the journal; `status` becomes the
    // server's id of the row when the server holds the record.
    Doubt lookUp(const Item &item, int &status);

    UploadKind kind_;
    std::vector<Item> items_;
    QByteArray host_;
    HttpTimeouts timeouts_;
    UploadJournal &journal_;
    EventQueue<Event> events_;
    std::atomic<bool> continue_{true};
    std::thread thread_;
    int successes_ = 0;
    int failures_ = 0;
};

} // namespace quarvel
