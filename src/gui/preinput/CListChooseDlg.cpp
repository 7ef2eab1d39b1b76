#include "preinput/CListChooseDlg.h"

#include <QHBoxLayout>
#include <QKeyEvent>
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
    // Up and Down move the highlight, Return picks it, Esc closes: the list
    // keeps the keys a form would take for moving between fields.
    ok->setDefault(true);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &CListChooseDlg::Confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &CListChooseDlg::Confirm);
    list_->installEventFilter(this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    list_->setFocus();
}

bool CListChooseDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Confirm();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
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
