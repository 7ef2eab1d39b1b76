#pragma once

#include "preinput/PricingJob.h"

#include <QList>
#include <QObject>

#include <memory>

namespace quarvel {

class ClientContext;
class Prompter;

// What the pre-entry page gets from a pricing job.
class PricingResultSink {
public:
    virtual ~PricingResultSink() = default;
    // A freight came back and is now the record's fee: the page writes
    // "%.2f" of it into the row's "金额" column and paints the row green
    // (RGB 0,128,0).
    virtual void applyPrice(int id, double fee) = 0;
    virtual void pricingEnded() {}
};

// "给所选预录记录计价" for the pre-entry page: the pricing job on its worker,
// its reports applied on this thread as they arrive.
class PricingController : public QObject, private PricingDisplay {
    Q_OBJECT

public:
    PricingController(ClientContext &context, Prompter &prompter, QObject *parent = nullptr);
    ~PricingController() override;

    // Starts pricing the records with these ids (after the page ensured a
    // login). Nothing while an upload or pricing job runs; with no ids the
    // message "没有选择需要计价的记录！". True when the job started. Its end
    // is said: how many records got a freight, or why none did.
    bool start(const QList<int> &ids, PricingResultSink *sink);
    bool running() const { return job_ != nullptr; }

signals:
    void ended(int code);

private:
    void drain();
    void priced(int id, int cents, bool stored) override;
    void pricingEnded(int code) override;

    ClientContext &context_;
    Prompter &prompter_;
    PricingResultSink *sink_ = nullptr;
    std::unique_ptr<PricingJob> job_;
    int asked_ = 0;
    int priced_ = 0;
};

} // namespace quarvel
