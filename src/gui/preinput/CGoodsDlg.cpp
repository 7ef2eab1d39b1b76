#include "preinput/CGoodsDlg.h"

#include "preinput/CSuggestionList.h"
#include "shell/FormKeys.h"
#include "storage/GoodsNameDictionary.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quarvel {

CGoodsDlg::CGoodsDlg(GoodsForm &form, QWidget *parent, const GoodsNameDictionary *names)
    : QDialog(parent), form_(form), names_(names)
{
    setWindowTitle(QStringLiteral("多件物品信息管理"));
    name_ = new QLineEdit(this);
    name_->setMaxLength(62);
    quantity_ = new QLineEdit(this);
    quantity_->setFixedWidth(60);
    price_ = new QLineEdit(this);
    price_->setFixedWidth(90);
    add_ = new QPushButton(this);
    delete_ = new QPushButton(QStringLiteral("删除"), this);
    auto *refresh = new QPushButton(QStringLiteral("刷新原值"), this);
    auto *ok = new QPushButton(QStringLiteral("确认数据&C"), this);
    for (QPushButton *b : {add_, delete_, refresh, ok})
        b->setAutoDefault(false);
    connect(add_, &QPushButton::clicked, this, &CGoodsDlg::AddOrModify);
    connect(delete_, &QPushButton::clicked, this, &CGoodsDlg::DeleteRow);
    connect(refresh, &QPushButton::clicked, this, &CGoodsDlg::Refresh);
    connect(ok, &QPushButton::clicked, this, &CGoodsDlg::Ok);

    auto *entry = new QGridLayout;
    entry->addWidget(new QLabel(QStringLiteral("品名:"), this), 0, 0);
    entry->addWidget(name_, 0, 1, 1, 5);
    entry->addWidget(new QLabel(QStringLiteral("数量:"), this), 1, 0);
    entry->addWidget(quantity_, 1, 1);
    entry->addWidget(new QLabel(QStringLiteral("单价:"), this), 1, 2);
    entry->addWidget(price_, 1, 3);
    entry->addWidget(add_, 1, 4);
    entry->addWidget(delete_, 1, 5);

    table_ = new QTableWidget(0, 3, this);
    table_->setHorizontalHeaderLabels(GoodsForm::headers());
    table_->verticalHeader()->hide();
    table_->setShowGrid(true);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setFocusPolicy(Qt::NoFocus);
    table_->setColumnWidth(0, 250);
    table_->setColumnWidth(1, 50);
    table_->setColumnWidth(2, 100);
    table_->setMinimumSize(430, 220);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { SelectRow(row); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(refresh);
    buttons->addStretch();
    buttons->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(entry);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    FormKeys::Install(this);
    suggestions_ = new CSuggestionList(this);
    connect(name_, &QLineEdit::textEdited, this, &CGoodsDlg::suggest);
    connect(suggestions_, &CSuggestionList::picked, this, [this](int row) {
        suggestions_->setCurrentRow(row);
        takeSuggestion();
        name_->setFocus();
    });
    // Ctrl+S adds or modifies from any field.
    for (QWidget *w :
         {static_cast<QWidget *>(name_), static_cast<QWidget *>(quantity_), static_cast<QWidget *>(price_)})
        w->installEventFilter(this);
    showAll();
}

bool CGoodsDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_S && key->modifiers() == Qt::ControlModifier) {
            event->accept();
            if (event->type() == QEvent::KeyPress)
                AddOrModify();
            return true;
        }
        const bool listShown = watched == name_ && suggestions_->isVisible();
        if (event->type() == QEvent::KeyPress && listShown &&
            (key->key() == Qt::Key_PageDown || key->key() == Qt::Key_PageUp)) {
            suggestions_->moveHighlight(key->key() == Qt::Key_PageDown ? 1 : -1);
            return true;
        }
        if (event->type() == QEvent::KeyPress && listShown &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter))
            takeSuggestion(); // then on like Tab
    }
    if (event->type() == QEvent::FocusOut && watched == name_)
        suggestions_->hide();
    return QDialog::eventFilter(watched, event);
}

void CGoodsDlg::suggest(const QString &text)
{
    offered_ = names_ && names_->count() > 0 && !text.isEmpty() ? names_->Suggest(text.left(62))
                                                                : QList<const GoodsNameEntry *>();
    QStringList rows;
    for (const GoodsNameEntry *e : offered_)
        rows << GoodsNameDictionary::SuggestionText(*e);
    suggestions_->showUnder(name_, rows);
}

bool CGoodsDlg::takeSuggestion()
{
    const int row = suggestions_->highlighted();
    if (row < 0 || row >= offered_.size())
        return false;
    name_->setText(GoodsNameDictionary::PickedName(*offered_.at(row), name_->text()));
    suggestions_->hide();
    return true;
}

void CGoodsDlg::showAll()
{
    const QList<GoodsForm::Row> &rows = form_.rows();
    table_->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        const GoodsForm::Row &row = rows.at(r);
        auto *name = new QTableWidgetItem(row.name);
        auto *quantity = new QTableWidgetItem(row.quantity);
        quantity->setTextAlignment(Qt::AlignCenter);
        auto *price = new QTableWidgetItem(row.price);
        price->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(r, 0, name);
        table_->setItem(r, 1, quantity);
        table_->setItem(r, 2, price);
    }
    showEntry();
}

void CGoodsDlg::showEntry()
{
    suggestions_->hide();
    name_->setText(form_.entry.name);
    quantity_->setText(form_.entry.quantity);
    price_->setText(form_.entry.price);
    add_->setText(form_.addCaption());
    delete_->setEnabled(form_.rowSelected());
    name_->setFocus();
}

void CGoodsDlg::readEntry()
{
    form_.entry.name = name_->text();
    form_.entry.quantity = quantity_->text();
    form_.entry.price = price_->text();
}

void CGoodsDlg::AddOrModify()
{
    readEntry();
    if (form_.AddOrModify())
        showAll();
    else
        name_->setFocus();
}

void CGoodsDlg::DeleteRow()
{
    if (form_.Delete())
        showAll();
}

void CGoodsDlg::Refresh()
{
    form_.Fill();
    showAll();
}

void CGoodsDlg::Ok()
{
    if (form_.Ok())
        accept();
}

void CGoodsDlg::SelectRow(int row)
{
    form_.Select(row);
    showEntry();
}

} // namespace quarvel
