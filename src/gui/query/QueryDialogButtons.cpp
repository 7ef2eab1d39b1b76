#include "query/QueryDialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace quarvel {

QHBoxLayout *QueryDialogButtons(QDialog *dialog, std::function<void()> confirm, std::function<void()> reset)
{
    auto *ok = new QPushButton(QStringLiteral("确认查询"), dialog);
    auto *again = new QPushButton(QStringLiteral("重新输入"), dialog);
    auto *cancel = new QPushButton(QStringLiteral("取消关闭"), dialog);
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton *b : {ok, again, cancel}) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    QObject::connect(ok, &QPushButton::clicked, dialog, std::move(confirm));
    QObject::connect(again, &QPushButton::clicked, dialog, std::move(reset));
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return row;
}

} // namespace quarvel
