#pragma once

#include "app/EventQueue.h"
#include "app/OwnerRequest.h"
#include "net/HttpTimeouts.h"
#include "upload/DoubtLookup.h"
#include "upload/UploadEnding.h"
#include "upload/UploadKind.h"

#include <QByteArray>

#include <QList>

#include <atomic>
#include <optional>
#include <thread>

namespace quarvel {

class UploadJournal;

// The upload worker: sends one record after another in list order and
// reports every reply and the end of the run through an event queue. It
// never reads the record files: before each record it asks the owner's
// thread for that record's envelope (itemRequests, announced by an event
// with `wantsItem`) and waits for the answer, so a record deleted, locked or
// edited while the run goes on
// is sent as the files hold it at its turn, or not at all. It writes nothing
// but its reports and the upload journal: each record is marked on its way
// before it is sent, and an acceptance is on disk before it is reported. A
// shipment an earlier send may have stored is looked up on the server when
// the server answers that it holds its number.
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
        // The worker waits for the item of record `id` (end false).
        bool wantsItem = false;
        // A record's reply (end and wantsItem false).
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

    UploadJob(UploadKind kind, QList<int> ids, QByteArray host, HttpTimeouts timeouts, UploadJournal &journal);
    ~UploadJob();
    UploadJob(const UploadJob &) = delete;
    UploadJob &operator=(const UploadJob &) = delete;

    EventQueue<Event> &events() { return events_; }
    int total() const { return static_cast<int>(ids_.size()); }

    void start();
    // The owner answers each request with the item of that record id.
    OwnerRequest<int, Item> &itemRequests() { return itemRequests_; }
    // Asks the worker to stop after the record it is sending (or before the
    // one it waits for).
    void requestStop();
    bool stopRequested() const { return !continue_; }
    // Waits for the worker's end (it always reports its end first).
    void join();

private:
    void run();
    // Asks for the item of one record and waits for it; nothing when the run
    // was stopped meanwhile.
    std::optional<Item> fetch(int id);
    void end(UploadEnding ending, int code);
    // Posts the look-up of an item the server says it holds the number of
    // and writes what it learnt into the journal; `status` becomes the
    // server's id of the row when the server holds the record.
    Doubt lookUp(const Item &item, int &status);

    UploadKind kind_;
    QList<int> ids_;
    QByteArray host_;
    HttpTimeouts timeouts_;
    UploadJournal &journal_;
    EventQueue<Event> events_;
    std::atomic<bool> continue_{true};
    OwnerRequest<int, Item> itemRequests_;
    std::thread thread_;
    int successes_ = 0;
    int failures_ = 0;
};

} // namespace quarvel
