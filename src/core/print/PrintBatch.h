#pragma once

#include "app/EventQueue.h"
#include "net/BaseData.h"
#include "net/HttpTimeouts.h"
#include "print/FieldValues.h"
#include "print/InvoiceLayout.h"
#include "print/InvoiceSheet.h"
#include "print/InvoiceSource.h"
#include "print/LabelFields.h"
#include "print/LabelSheetLayout.h"
#include "print/PrintOutcome.h"
#include "print/PrintTemplate.h"
#include "print/SheetPrinter.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

namespace quarvel {

class ClientContext;
class GoodsNameDictionary;

// A batch of documents printed one after the other on a worker thread:
// waybills of local records, waybills of records on the server (each
// fetched with operation 7 by the worker), proforma invoices and sheets of
// labels. Everything
// the worker needs is copied on the user-interface thread when the
// documents are added (the record values, the goods lines, the templates,
// the envelopes), so it reads no record file and no session. A document
// that fails is reported with its message and the next one is still tried.
class PrintBatch {
public:
    struct Report {
        int id = 0;
        QString waybill;
        PrintOutcome outcome;
        int done = 0;
        int total = 0;
    };
    struct Ending {
        int printed = 0;
        int failed = 0;
        // Set when the spreadsheet engine could not be started and nothing was printed.
        QString startFailure;
        bool stopped = false;
    };

    // What the window or the command line makes of the reports.
    class Display {
    public:
        virtual ~Display() = default;
        virtual void documentDone(const Report &report) = 0;
        virtual void batchEnded(const Ending &ending) = 0;
    };

    explicit PrintBatch(ClientContext &context);
    ~PrintBatch();
    PrintBatch(const PrintBatch &) = delete;
    PrintBatch &operator=(const PrintBatch &) = delete;

    // Each adds its documents; false with the message of the missing
    // template. Local records that no longer exist are left out.
    bool AddWaybills(const QList<int> &ids, QString *message = nullptr);
    bool AddServerWaybills(const QList<int> &recordIds, QString *message = nullptr);
    bool AddInvoices(const QList<int> &ids, InvoiceSheet::Mode mode, QString *message = nullptr);
    // The records that still exist, in order, cut into sheets of the label
    // layout: one document per sheet (reported with its first record's id).
    bool AddLabelSheets(const QList<int> &ids, QString *message = nullptr);
    int size() const { return int(items_.size()); }

    bool Start(std::function<void()> wake = {});
    // Hands the reports that arrived to the display; false once the batch has ended.
    bool Drain(Display &display);
    bool WaitForEvents(int milliseconds) { return events_.wait(milliseconds); }
    void DrainUntilEnded(Display &display);
    // The batch ends after the document being printed.
    void RequestStop() { continue_ = false; }
    bool running() const { return started_ && !ended_; }

private:
    enum class Kind { Waybill, ServerWaybill, Invoice, LabelSheet };
    struct Item {
        Kind kind;
        int id;
        QString waybill;
        FieldValues values;
        InvoiceSource invoice;
        QByteArray envelope;
        InvoiceSheet::Mode mode = InvoiceSheet::Mode::Print;
        QList<LabelFields> labels;
    };
    struct Event {
        bool end = false;
        Report report;
        Ending ending;
    };

    bool takeWaybillTemplate(QString *message);
    void run();
    PrintOutcome print(const Item &item, QString &waybill) const;

    ClientContext &context_;
    SheetPrinter::Setup setup_;
    std::vector<Item> items_;
    std::optional<PrintTemplate> waybillTemplate_;
    std::optional<PrintTemplate> invoiceTemplate_;
    InvoiceLayout invoiceLayout_;
    LabelSheetLayout labelLayout_;
    const GoodsNameDictionary &dictionary_;
    BaseData baseData_;
    QString account_;
    QByteArray host_;
    HttpTimeouts timeouts_;
    EventQueue<Event> events_;
    std::atomic<bool> continue_{true};
    std::thread thread_;
    bool started_ = false;
    bool ended_ = false;
};

} // namespace quarvel
