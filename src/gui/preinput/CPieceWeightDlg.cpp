#include "preinput/CPieceWeightDlg.h"

#include "shell/FormKeys.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quarvel {

namespace {

QString colour(unsigned rgb)
{
    return QStringLiteral("color: #%1;").arg(rgb, 6, 16, QLatin1Char('0'));
}

QLineEdit *numberBox(QWidget *parent, int width)
{
    auto *box = new QLineEdit(parent);
    box->setFixedWidth(width);
    return box;
}

} // namespace

CPieceWeightDlg::CPieceWeightDlg(PieceWeightForm &form, QWidget *parent) : QDialog(parent), form_(form)
{
    setWindowTitle(QStringLiteral("一票多件明细重量管理"));
    title_ = new QLabel(this);
    QFont big = title_->font();
    big.setBold(true);
    title_->setFont(big);
    divisor_ = new QLabel(form.divisorText(), this);
    divisor_->setStyleSheet(colour(form.divisorColor()));
    volume_ = new QLabel(this);
    total_ = new QLabel(this);

    weight_ = numberBox(this, 80);
    length_ = numberBox(this, 45);
    width_ = numberBox(this, 45);
    height_ = numberBox(this, 45);
    share_ = numberBox(this, 45);
    share_->setValidator(new QIntValidator(0, 255, share_));
    copies_ = numberBox(this, 35);
    name_ = new QLineEdit(this);
    name_->setMaxLength(62);
    quantity_ = numberBox(this, 60);
    price_ = numberBox(this, 80);
    for (QLineEdit *box : {length_, width_, height_})
        connect(box, &QLineEdit::textEdited, this, [this] {
            readEntry();
            showVolume();
        });

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("称重:"), this), 0, 0);
    auto *weightRow = new QHBoxLayout;
    weightRow->addWidget(weight_);
    weightRow->addWidget(new QLabel(QStringLiteral("公斤"), this));
    weightRow->addStretch();
    grid->addLayout(weightRow, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("体积:"), this), 1, 0);
    auto *sizeRow = new QHBoxLayout;
    sizeRow->addWidget(length_);
    sizeRow->addWidget(new QLabel(QStringLiteral("*"), this));
    sizeRow->addWidget(width_);
    sizeRow->addWidget(new QLabel(QStringLiteral("*"), this));
    sizeRow->addWidget(height_);
    sizeRow->addWidget(divisor_);
    sizeRow->addWidget(volume_);
    sizeRow->addStretch();
    grid->addLayout(sizeRow, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("泡重权重:"), this), 2, 0);
    auto *shareRow = new QHBoxLayout;
    shareRow->addWidget(share_);
    shareRow->addWidget(new QLabel(QStringLiteral("%   加"), this));
    shareRow->addWidget(copies_);
    shareRow->addWidget(new QLabel(QStringLiteral("件"), this));
    shareRow->addStretch();
    grid->addLayout(shareRow, 2, 1);
    auto *goods = new QGridLayout;
    goods->addWidget(new QLabel(QStringLiteral("关联物品信息（可能用于Menifest）"), this), 0, 0, 1, 4);
    goods->addWidget(new QLabel(QStringLiteral("品名:"), this), 1, 0);
    goods->addWidget(name_, 1, 1, 1, 3);
    goods->addWidget(new QLabel(QStringLiteral("数量:"), this), 2, 0);
    goods->addWidget(quantity_, 2, 1);
    goods->addWidget(new QLabel(QStringLiteral("单价:"), this), 2, 2);
    goods->addWidget(price_, 2, 3);

    auto *confirm = new QPushButton(QStringLiteral("确认当前件&S"), this);
    auto *clear = new QPushButton(QStringLiteral("重  输 &D"), this);
    auto *close = new QPushButton(QStringLiteral("确认数据关闭&C"), this);
    for (QPushButton *b : {confirm, clear, close})
        b->setAutoDefault(false);
    connect(confirm, &QPushButton::clicked, this, &CPieceWeightDlg::ConfirmPiece);
    connect(clear, &QPushButton::clicked, this, &CPieceWeightDlg::ClearEntry);
    connect(close, &QPushButton::clicked, this, &CPieceWeightDlg::ConfirmAndClose);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(confirm);
    buttons->addWidget(clear);
    buttons->addStretch();
    buttons->addWidget(close);

    const QStringList headers = PieceWeightForm::headers();
    table_ = new QTableWidget(0, int(headers.size()), this);
    table_->setHorizontalHeaderLabels(headers);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setFocusPolicy(Qt::NoFocus);
    const int widths[] = {36, 55, 55, 30, 30, 30, 36, 80, 55, 55};
    for (int c = 0; c < int(headers.size()); ++c)
        table_->setColumnWidth(c, widths[c]);
    table_->setMinimumSize(500, 200);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { SelectRow(row); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title_);
    layout->addLayout(grid);
    layout->addLayout(goods);
    layout->addLayout(buttons);
    layout->addWidget(table_, 1);
    layout->addWidget(total_);
    FormKeys::Install(this);
    form_.Refill();
    showAll();
}

void CPieceWeightDlg::showAll()
{
    title_->setText(form_.titleText());
    title_->setStyleSheet(colour(form_.titleColor()));
    total_->setText(form_.totalText());
    const auto &lines = form_.lines();
    table_->setRowCount(int(lines.size()));
    for (int r = 0; r < int(lines.size()); ++r) {
        const QStringList cells = form_.rowCells(r);
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells.at(c));
            item->setTextAlignment(c == 7   ? Qt::AlignLeft | Qt::AlignVCenter
                                   : c == 6 ? Qt::AlignCenter
                                            : Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(r, c, item);
        }
    }
    showEntry();
    weight_->setFocus();
    weight_->selectAll();
}

void CPieceWeightDlg::showEntry()
{
    const PieceWeightForm::Entry &e = form_.entry;
    weight_->setText(e.weight);
    length_->setText(QString::number(e.length));
    width_->setText(QString::number(e.width));
    height_->setText(QString::number(e.height));
    share_->setText(QString::number(e.share));
    copies_->setText(QString::number(e.copies));
    name_->setText(e.name);
    quantity_->setText(QString::number(e.quantity));
    price_->setText(QString::asprintf("%.2f", e.price));
    showVolume();
}

void CPieceWeightDlg::showVolume()
{
    volume_->setText(form_.volumeText());
}

void CPieceWeightDlg::readEntry()
{
    PieceWeightForm::Entry &e = form_.entry;
    e.weight = weight_->text();
    e.length = length_->text().trimmed().toInt();
    e.width = width_->text().trimmed().toInt();
    e.height = height_->text().trimmed().toInt();
    e.share = share_->text().trimmed().toInt();
    e.copies = copies_->text().trimmed().toInt();
    e.name = name_->text();
    e.quantity = quantity_->text().trimmed().toInt();
    e.price = price_->text().trimmed().toDouble();
}

void CPieceWeightDlg::ConfirmPiece()
{
    readEntry();
    switch (form_.Confirm()) {
    case PieceWeightForm::Outcome::Stored:
        showAll();
        break;
    case PieceWeightForm::Outcome::NoWeight:
        weight_->setFocus();
        weight_->selectAll();
        break;
    case PieceWeightForm::Outcome::Refused:
        name_->setText(form_.entry.name);
        name_->setFocus();
        break;
    case PieceWeightForm::Outcome::Unchanged:
        break;
    }
}

void CPieceWeightDlg::ClearEntry()
{
    readEntry();
    form_.ClearEntry();
    showEntry();
    weight_->setFocus();
}

void CPieceWeightDlg::ConfirmAndClose()
{
    ConfirmPiece();
    accept();
}

void CPieceWeightDlg::SelectRow(int row)
{
    form_.Select(row);
    title_->setText(form_.titleText());
    title_->setStyleSheet(colour(form_.titleColor()));
    showEntry();
    weight_->setFocus();
}

} // namespace quarvel
