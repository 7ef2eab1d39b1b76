#pragma once

#include "listpane/CRecordListPane.h"
#include "report/DayReport.h"

class QDateEdit;
class QLabel;
class QPushButton;

namespace quarvel {

class CDayCharts;

// Page 6, "日结": the close of a counter day. On the left the day picker,
// the totals, the pay ways with the cash to hand over, the comparison with
// the server and the charts; on the right the day's shipments. It reads
// the ledger and the files afresh each time it is shown or refreshed, and
// compares with the server when a session is open.
class CDayReportPane : public CRecordListPane {
    Q_OBJECT

public:
    static constexpr int kFormWidth = 430;

    CDayReportPane(PageEnv &env, QWidget *parent = nullptr);
    ~CDayReportPane() override;

    void Initialise() override;
    void RefreshList() override;
    void FocusEntry() override;
    bool Supports(Command c) const override;
    // Counts the day's shipments, not the totals row under them.
    QString captionText() const override;

    // The day shown; showing another reads that day.
    void ShowDay(QDate day);
    // Fetches the day's records from the server (on a worker) and compares.
    void Reconcile();
    // The hand-over manifest of the day shown, after its preview.
    void PrintManifest();

    const DayReport &report() const { return report_; }
    QDateEdit &dateEdit() { return *date_; }
    QLabel &reconciliationLabel() { return *reconciliation_; }
    QLabel &totalsLabel() { return *totals_; }
    CDayCharts &charts() { return *charts_; }
    QPushButton &manifestButton() { return *manifest_; }
    // The preview of the manifest (tests put their own).
    void setManifestPreview(PrintPreview *preview) { manifestPreview_ = preview; }

private:
    QWidget *buildForm();
    void showReport();

    DayReport report_;
    QDateEdit *date_ = nullptr;
    QLabel *totals_ = nullptr;
    QLabel *payWays_ = nullptr;
    QLabel *reconciliation_ = nullptr;
    QPushButton *reconcile_ = nullptr;
    QPushButton *manifest_ = nullptr;
    CDayCharts *charts_ = nullptr;
    std::unique_ptr<PagePrintRunner> manifestPrinter_;
    PrintPreview *manifestPreview_ = nullptr;
};

} // namespace quarvel
