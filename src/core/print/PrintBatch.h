#pragma once

#include "app/EventQueue.h"
#include "app/OwnerRequest.h"
#include "net/BaseData.h"
#include "net/HttpTimeouts.h"
#include "print/FieldValues.h"
#include "print/InvoiceLayout.h"
#include "print/InvoiceSheet.h"
#include "print/InvoiceSource.h"
#include "print/LabelFields.h"
#include "print/LabelSheet.h"
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
// labels. The templates, the account and the server's address are copied
// when the documents are added; a local record is read when its document's
// turn comes, so the batch prints what the file holds then. The worker reads
// no record file itself: it asks the thread that owns the files, which
// answers while it takes the worker's reports (Drain). A waybill or invoice
// whose record is gone by its turn is skipped and reported; on a sheet of
// labels such a record leaves its label empty and the others keep their
// places. A document that fails is reported with its message and the next
// one is still tried.
class PrintBatch {
public:
    // A record as it was when added: its id and waybill number, by which a
    // report names it should it be gone when its turn comes.
    struct Selected {
        int id = 0;
        QString waybill;
    };
    struct Report {
        int id = 0;
        QString waybill;
        PrintOutcome outcome;
        int done = 0;
        int total = 0;
        // The records of the document that were gone at its turn and got nothing printed.
        QList<Selected> gone;
    };
    struct Ending {
        int printed = 0;
        int failed = 0;
        // Documents left out because every record of theirs was gone.
        int skipped = 0;
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

    // Each adds a document per record; false with the message of the missing template.
    bool AddWaybills(const QList<int> &ids, QString *message = nullptr);
    bool AddServerWaybills(const QList<int> &recordIds, QString *message = nullptr);
    bool AddInvoices(const QList<int> &ids, InvoiceSheet::Mode mode, QString *message = nullptr);
    // The records in order, cut into sheets of the label layout: one document
    // per sheet (reported with its first record's id), as many sheets as the
    // question before printing announced.
    bool AddLabelSheets(const QList<int> &ids, QString *message = nullptr);
    int size() const { return int(items_.size()); }

    // Said for a record that was gone when its turn came.
    static QString GoneText() { return QStringLiteral("记录已删除，没有打印。"); }

    bool Start(std::function<void()> wake = {});
    // Hands the reports that arrived to the display, then reads the record
    // the worker waits for; false once the batch has ended.
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
        // The waybill number at the time it was added (for reports only).
        QString waybill;
        QByteArray envelope;
        InvoiceSheet::Mode mode = InvoiceSheet::Mode::Print;
        // A label sheet's records, one per position.
        QList<Selected> labels;
    };
    // What the owning thread read for an item when its turn came.
    struct Turn {
        std::optional<FieldValues> values;
        std::optional<InvoiceSource> invoice;
        LabelSheet::Positions labels;
    };
    struct Event {
        enum class Type { Report, TurnWanted, End };
        Type type = Type::Report;
        Report report;
        Ending ending;
    };

    bool takeWaybillTemplate(QString *message);
    Selected selected(int id) const;
    Turn read(const Item &item) const;
    void answerTurn();
    void run();
    PrintOutcome print(std::size_t index, Report &report);
    PrintOutcome printLabelSheet(const Item &item, const Turn &turn, Report &report) const;

    ClientContext &context_;
    SheetPrinter::Setup setup_;
    std::vector<Item> items_;
    std::optional<PrintTemplate> waybillTemplate_;
    std::optional<PrintTemplate> invoiceTemplate_;
    InvoiceLayout invoiceLayout_;
    LabelSheetLayout labelLayout_;
    LabelFields::Options labelOptions_;
    const GoodsNameDictionary &dictionary_;
    BaseData baseData_;
    QString account_;
    QByteArray host_;
    HttpTimeouts timeouts_;
    EventQueue<Event> events_;
    OwnerRequest<std::size_t, Turn> turns_;
    std::atomic<bool> continue_{true};
    std::thread thread_;
    bool started_ = false;
    bool ended_ = false;
};

} // namespace quarvel
