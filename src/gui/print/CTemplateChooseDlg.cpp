#include "print/CTemplateChooseDlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quarvel {

CTemplateChooseDlg::CTemplateChooseDlg(TemplateChooseForm &form, QWidget *parent) : QDialog(parent), form_(form)
{
    setWindowTitle(form_.title());
    list_ = new QTableWidget(int(form_.rows().size()), 1, this);
    list_->setHorizontalHeaderLabels({form_.columnHeader()});
    list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list_->setColumnWidth(0, 210);
    list_->verticalHeader()->hide();
    list_->setShowGrid(true);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setMinimumSize(240, 200);
    for (int r = 0; r < int(form_.rows().size()); ++r)
        list_->setItem(r, 0, new QTableWidgetItem(form_.rows().at(r)));
    connect(list_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { choose(row); });
    // From the keyboard, Enter on a row chooses it as a double click does.
    connect(list_, &QTableWidget::activated, this, [this](const QModelIndex &index) { choose(index.row()); });

    choice_ = new QLabel(form_.choiceText(), this);
    auto *ok = new QPushButton(QStringLiteral("确认选择"), this);
    auto *cancel = new QPushButton(QStringLiteral("放弃退出"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(TemplateChooseForm::heading(), this));
    layout->addWidget(list_, 1);
    layout->addWidget(choice_);
    layout->addLayout(buttons);

    const int current = form_.currentRow();
    if (current >= 0) {
        list_->selectRow(current);
        list_->scrollToItem(list_->item(current, 0));
    }
    list_->setFocus();
}

void CTemplateChooseDlg::choose(int row)
{
    form_.DoubleClick(row);
    choice_->setText(form_.choiceText());
}

} // namespace quarvel
