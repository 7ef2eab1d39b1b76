#include "query/CQuoteDlg.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace quarvel {

CQuoteDlg::CQuoteDlg(const QString &title, const QList<PriceQuotation::Row> &rows, QWidget *parent)
    : QDialog(parent), list_(new QTreeWidget(this))
{
    setWindowTitle(title);
    list_->setColumnCount(3);
    list_->setHeaderLabels({QStringLiteral("快递类别"), QStringLiteral("运费"), QStringLiteral("备注")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    // Grid lines, as the list of the other pages shows them.
    list_->setStyleSheet(QStringLiteral("QTreeView::item { border: 1px solid #d0d0d0; }"));
    const int widths[] = {110, 80, 200};
    for (int c = 0; c < 3; ++c)
        list_->setColumnWidth(c, widths[c]);
    list_->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    for (const PriceQuotation::Row &row : rows) {
        auto *item = new QTreeWidgetItem(list_, QStringList{row.kind, row.freight, row.remark});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(110 + 80 + 200 + 40, 260);
}

void CQuoteDlg::Show(const ServerSession &session, const BaseData &baseData, const PriceQuotation::Request &request,
                     Prompter &prompter, QWidget *parent)
{
    const PriceQuotation::Result r = PriceQuotation::Run(session, baseData, request, prompter);
    if (r.outcome == PriceQuotation::Outcome::OpenPage)
        QDesktopServices::openUrl(QUrl(r.url, QUrl::TolerantMode));
    else if (r.outcome == PriceQuotation::Outcome::Shown)
        CQuoteDlg(r.title, r.rows, parent).exec();
}

} // namespace quarvel
