#pragma once

#include "print/PrintBatch.h"
#include "print/PrintOutcome.h"

#include <QObject>

#include <functional>
#include <memory>

class QWidget;

namespace quarvel {

class DocumentPrinter;
class DialogPrintPreview;
class PrintBatchController;
class PrintPreview;
struct PageEnv;

// The print runs of one page: a single document on the user-interface
// thread after its preview, or a batch on the printing worker with its
// progress in the status pane and the documents that failed listed at the
// end. The page is busy from the start of either until it has ended; its
// print commands do nothing meanwhile.
class PagePrintRunner : public QObject {
    Q_OBJECT

public:
    // What the page adds once a batch has ended and its failures were said.
    using AfterBatch = std::function<void(const PrintBatch::Ending &ending)>;
    using PrintOne = std::function<PrintOutcome(DocumentPrinter &printer)>;

    PagePrintRunner(PageEnv &env, QWidget *page);
    ~PagePrintRunner() override;

    bool busy() const;
    // The preview before a single document is printed (tests put their own).
    void setPreview(PrintPreview *preview) { preview_ = preview; }

    // One document through the page's printer; a failure's message is shown.
    PrintOutcome printOne(const PrintOne &print);
    // False when the batch is empty or another one runs.
    bool startBatch(std::unique_ptr<PrintBatch> batch, const QString &what, AfterBatch after = {});

signals:
    // A document of a batch is done (its record id); the batch has ended.
    void documentPrinted(int id);
    void printingEnded();

private:
    PageEnv &env_;
    std::unique_ptr<DialogPrintPreview> ownPreview_;
    PrintPreview *preview_ = nullptr;
    std::unique_ptr<PrintBatchController> batch_;
    bool printingOne_ = false;
};

} // namespace quarvel
