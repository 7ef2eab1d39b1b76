#pragma once

#include "app/EventQueue.h"
#include "net/HttpTimeouts.h"

#include <QByteArray>
#include <QList>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace quarvel {

class ClientContext;

// What a pricing job shows: the window paints the row green and writes the
// amount into its "金额" column; the command line prints a line.
class PricingDisplay {
public:
    virtual ~PricingDisplay() = default;
    // One record: `cents` above 0 when a freight came back, and then
    // `stored` when the record still existed and now holds it as `ffee`.
    virtual void priced(int id, int cents, bool stored) = 0;
    // The end of the job: code 0 when every record was asked, else the
    // transport failure that ended it.
    virtual void pricingEnded(int code) = 0;
};

// "给所选预录记录计价": the freight of each chosen record, asked on a worker
// thread one record after the other. The envelopes are built from the
// stored records on the user-interface thread, and only that thread writes
// the freight back, as the reports arrive.
class PricingJob {
public:
    static constexpr int kReplySize = 1024;

    explicit PricingJob(ClientContext &context);
    ~PricingJob();
    PricingJob(const PricingJob &) = delete;
    PricingJob &operator=(const PricingJob &) = delete;

    // A record without weight, destination or known express kind is
    // reported with -1 and not asked.
    void Prepare(const QList<int> &ids);
    // Sets the session's busy flag (shared with the upload) and starts the
    // worker; false when another job runs.
    bool Start(std::function<void()> wake = {});
    // Applies the reports that arrived; true while the job goes on.
    bool Drain(PricingDisplay &display);
    bool WaitForEvents(int milliseconds) { return events_.wait(milliseconds); }
    void DrainUntilEnded(PricingDisplay &display);
    void RequestStop() { continue_ = false; }

private:
    struct Item {
        int id;
        QByteArray envelope;
    };
    struct Event {
        bool end = false;
        int id = 0;
        int cents = 0;
        int code = 0;
    };

    void run();

    ClientContext &context_;
    std::vector<Item> items_;
    QByteArray host_;
    HttpTimeouts timeouts_;
    EventQueue<Event> events_;
    std::atomic<bool> continue_{true};
    std::thread thread_;
    bool started_ = false;
    bool ended_ = false;
};

} // namespace quarvel
