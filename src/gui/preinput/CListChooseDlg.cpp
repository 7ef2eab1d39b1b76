#include "preinput/CListChooseDlg.h"

#include "shell/FormKeys.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvel {

CListChooseDlg::CListChooseDlg(const QString &title, const QStringList &items, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(title);
    list_ = new QListWidget(this);
    list_->addItems(items);
    list_->setMinimumSize(280, 240);
    if (!items.isEmpty())
        list_->setCurrentRow(0);
    auto *ok = new QPushButton(QStringLiteral("确认选取"), this);
    auto *cancel = new QPushButton(QStringLiteral("取消关闭"), this);
    ok->setAutoDefault(false);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &CListChooseDlg::Confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &CListChooseDlg::Confirm);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    FormKeys::Install(this);
}

void CListChooseDlg::Confirm()
{
    QListWidgetItem *item = list_->currentItem();
    if (!item)
        return;
    chosen_ = item->text();
    accept();
}

QString CListChooseDlg::Choose(QWidget *parent, const QString &title, const QStringList &items)
{
    CListChooseDlg dialog(title, items, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.chosen() : QString();
}

} // namespace quarvel
