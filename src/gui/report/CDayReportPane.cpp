#include "report/CDayReportPane.h"

#include "app/ClientContext.h"
#include "app/Prompter.h"
#include "print/DocumentPrinter.h"
#include "print/PagePrintRunner.h"
#include "report/CDayCharts.h"
#include "report/DayReconciliation.h"
#include "report/DayReportRows.h"
#include "report/DayReportText.h"
#include "shell/FrameTexts.h"
#include "shell/PageCatalog.h"
#include "shell/WorkerProgress.h"

#include <QDateEdit>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvel {

namespace {

QLabel *wrappingLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QString payWayLines(const DayReport &r)
{
    QStringList lines;
    for (const auto &[name, t] : r.byPayWay())
        lines << QStringLiteral("%1：%2").arg(name, DayReportText::TallyText(t));
    lines << QStringLiteral("<b>现付应交现金：%1 元</b>").arg(r.CashToHandOver(), 0, 'f', 2);
    return lines.join(QStringLiteral("<br>"));
}

} // namespace

CDayReportPane::CDayReportPane(PageEnv &env, QWidget *parent)
    : CRecordListPane(env, PageCatalog::Title(PageCatalog::DayReport), parent)
{
    list().setColumns(PageCatalog::Columns(PageCatalog::DayReport));
    list().setTotalsRow(true);
    listCtrl().applyColumnWidths();
    setLeftForm(buildForm(), kFormWidth);
    mutableFlags().canCreate = false;
    mutableFlags().canExport = true;
    mutableFlags().canPrint = true;
}

CDayReportPane::~CDayReportPane() = default;

QWidget *CDayReportPane::buildForm()
{
    auto *form = new QWidget(this);
    auto *layout = new QVBoxLayout(form);
    auto *dayRow = new QHBoxLayout;
    date_ = new QDateEdit(QDate::currentDate(), form);
    date_->setCalendarPopup(true);
    date_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    date_->setMaximumDate(QDate::currentDate().addDays(1));
    dayRow->addWidget(new QLabel(QStringLiteral("日期:"), form));
    dayRow->addWidget(date_, 1);
    layout->addLayout(dayRow);
    totals_ = wrappingLabel(form);
    payWays_ = wrappingLabel(form);
    reconciliation_ = wrappingLabel(form);
    layout->addWidget(totals_);
    layout->addWidget(payWays_);
    layout->addWidget(reconciliation_);
    auto *buttons = new QHBoxLayout;
    reconcile_ = new QPushButton(QStringLiteral("与服务器核对(&R)"), form);
    manifest_ = new QPushButton(QStringLiteral("打印交接单(&D)"), form);
    buttons->addWidget(reconcile_);
    buttons->addWidget(manifest_);
    layout->addLayout(buttons);
    charts_ = new CDayCharts(form);
    layout->addWidget(charts_, 1);
    connect(date_, &QDateEdit::dateChanged, this, [this](QDate day) { ShowDay(day); });
    connect(reconcile_, &QPushButton::clicked, this, &CDayReportPane::Reconcile);
    connect(manifest_, &QPushButton::clicked, this, &CDayReportPane::PrintManifest);
    return form;
}

void CDayReportPane::Initialise()
{
    // The form is the page: it stays shown.
    SetFormHidden(false);
    RefreshList();
}

void CDayReportPane::FocusEntry()
{
    date_->setFocus();
}

bool CDayReportPane::Supports(Command) const
{
    return false;
}

QString CDayReportPane::captionText() const
{
    return FrameTexts::ListCaption(captionPrefix(), int(report_.shipments().size()));
}

void CDayReportPane::ShowDay(QDate day)
{
    if (date_->date() != day) {
        date_->setDate(day); // reads the day through dateChanged
        return;
    }
    RefreshList();
}

void CDayReportPane::RefreshList()
{
    ClientContext &context = env().context;
    report_ = DayReport::Build(context, date_->date());
    if (context.session().loggedIn())
        Reconcile();
    else
        report_.SetServerProblem(DayReport::NeedsLoginText());
    showReport();
    for (const QString &warning : report_.warnings())
        env().prompter.error(QStringLiteral("日结记录"), warning);
}

void CDayReportPane::Reconcile()
{
    ClientContext &context = env().context;
    if (!context.session().loggedIn()) {
        report_.SetServerProblem(DayReport::NeedsLoginText());
        showReport();
        return;
    }
    WorkerProgress progress(this, QStringLiteral("与服务器核对"), QStringLiteral("正在读取服务器上当日的记录..."),
                            QStringLiteral("停止"));
    DayReconciliation::Result result;
    const QDate day = report_.date();
    progress.run(
        [&] { result = DayReconciliation::Fetch(context.session(), context.baseData(), day, progress.stopFlag()); });
    if (result.complete)
        report_.Reconcile(result.rows);
    else
        report_.SetServerProblem(result.message.isEmpty() ? QStringLiteral("核对已停止。") : result.message);
    showReport();
}

void CDayReportPane::showReport()
{
    totals_->setText(QStringLiteral("<b>%1 日结</b><br>合计：%2<br>已上传：%3<br>未上传：%4")
                         .arg(report_.date().toString(Qt::ISODate), DayReportText::TallyText(report_.total()),
                              DayReportText::TallyText(report_.uploaded()), DayReportText::TallyText(report_.local())));
    payWays_->setText(payWayLines(report_));
    reconciliation_->setText(report_.ReconciliationLine());
    const bool differs = report_.server().checked &&
                         (!report_.server().missingOnServer.isEmpty() || !report_.server().unknownLocally.isEmpty());
    reconciliation_->setStyleSheet(differs ? QStringLiteral("color: rgb(192,0,0)") : QString());
    QStringList tips;
    for (const QString &n : report_.server().missingOnServer)
        tips << QStringLiteral("服务器上没有：%1").arg(n);
    for (const QString &n : report_.server().unknownLocally)
        tips << QStringLiteral("本机没有上传记录：%1").arg(n);
    reconciliation_->setToolTip(tips.join(u'\n'));
    charts_->Show(report_);
    list().setRows(DayReportRows::Rows(report_));
    UpdateCaption();
    publishFlags();
}

void CDayReportPane::PrintManifest()
{
    if (!manifestPrinter_)
        manifestPrinter_ = std::make_unique<PagePrintRunner>(env(), this);
    if (manifestPreview_)
        manifestPrinter_->setPreview(manifestPreview_);
    if (manifestPrinter_->busy())
        return;
    const PrintOutcome outcome =
        manifestPrinter_->printOne([this](DocumentPrinter &printer) { return printer.PrintManifest(report_); });
    if (outcome.status == PrintOutcome::Status::Printed && env().showOperation)
        env().showOperation(QStringLiteral("交接单已打印：%1").arg(QDir::toNativeSeparators(outcome.file)));
}

} // namespace quarvel
