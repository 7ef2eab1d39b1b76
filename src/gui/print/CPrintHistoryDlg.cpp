#include "print/CPrintHistoryDlg.h"

#include "app/ClientContext.h"
#include "app/Prompter.h"
#include "print/Reprint.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace quarvel {

namespace {

const QStringList kHeaders{QStringLiteral("序号"),    QStringLiteral("打印时间"), QStringLiteral("类别"),
                           QStringLiteral("运单号"),  QStringLiteral("模版"),     QStringLiteral("份数"),
                           QStringLiteral("打印文件")};
const int kWidths[] = {50, 140, 70, 120, 100, 40, 360};

} // namespace

CPrintHistoryDlg::CPrintHistoryDlg(ClientContext &context, Prompter &prompter, QWidget *parent)
    : QDialog(parent), context_(context), prompter_(prompter)
{
    setWindowTitle(QStringLiteral("打印记录"));
    table_ = new QTableWidget(0, int(kHeaders.size()), this);
    table_->setHorizontalHeaderLabels(kHeaders);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->horizontalHeader()->setStretchLastSection(true);
    for (int c = 0; c < int(std::size(kWidths)); ++c)
        table_->setColumnWidth(c, kWidths[c]);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { OpenFile(); });

    copies_ = new QSpinBox(this);
    copies_->setRange(1, 99);
    again_ = new QPushButton(QStringLiteral("再次打印(&R)"), this);
    auto *open = new QPushButton(QStringLiteral("打开文件(&O)"), this);
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    for (QPushButton *b : {again_, open})
        b->setAutoDefault(false);
    close->setDefault(true);
    connect(again_, &QPushButton::clicked, this, [this] { PrintAgain(); });
    connect(open, &QPushButton::clicked, this, &CPrintHistoryDlg::OpenFile);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("份数:"), this));
    buttons->addWidget(copies_);
    buttons->addWidget(again_);
    buttons->addWidget(open);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("●最近的打印（最新的在前）："), this));
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    resize(960, 480);
    Refresh();
    table_->setFocus();
}

namespace {

// A PDF removed after its keeping time says when; printing it again makes it anew.
QString removedNote(const PrintLedger::Entry &e)
{
    return e.removed.isValid() ? QStringLiteral("（%1 已删除）").arg(e.removed.toString(QStringLiteral("yyyy-MM-dd")))
                               : QString();
}

} // namespace

void CPrintHistoryDlg::Refresh()
{
    const QList<PrintLedger::Entry> entries = context_.printLedger().Recent();
    table_->setRowCount(int(entries.size()));
    for (int r = 0; r < int(entries.size()); ++r) {
        const PrintLedger::Entry &e = entries.at(r);
        const QString cells[] = {QString::number(e.number),
                                 e.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                 e.kind,
                                 e.waybill,
                                 e.templateName,
                                 QString::number(e.copies),
                                 removedNote(e) + QDir::toNativeSeparators(e.pdf)};
        for (int c = 0; c < int(std::size(cells)); ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (c == 0 || c == 5)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (c == 6 && !QFileInfo::exists(e.pdf))
                item->setForeground(Qt::gray);
            if (c == 6)
                item->setData(Qt::UserRole, e.pdf);
            table_->setItem(r, c, item);
        }
    }
    if (!entries.isEmpty())
        table_->selectRow(0);
}

int CPrintHistoryDlg::selectedNumber() const
{
    const int row = table_->currentRow();
    return row >= 0 && table_->item(row, 0) ? table_->item(row, 0)->text().toInt() : 0;
}

bool CPrintHistoryDlg::PrintAgain()
{
    const int number = selectedNumber();
    if (number <= 0) {
        prompter_.warning(QString(), QStringLiteral("没有在列表中选中要再次打印的记录。"));
        return false;
    }
    const PrintOutcome outcome = Reprint::Again(context_, number, copies_->value());
    if (!outcome.ok()) {
        prompter_.error(QString(), outcome.message);
        return false;
    }
    if (!outcome.message.isEmpty())
        prompter_.warning(QString(), outcome.message);
    Refresh();
    return true;
}

void CPrintHistoryDlg::OpenFile()
{
    const int row = table_->currentRow();
    if (row < 0 || !table_->item(row, 6))
        return;
    const QString pdf = table_->item(row, 6)->data(Qt::UserRole).toString();
    if (!QFileInfo::exists(pdf)) {
        prompter_.error(QString(), QStringLiteral("打印文件已不存在:\r\n") + QDir::toNativeSeparators(pdf));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(pdf));
}

} // namespace quarvel
