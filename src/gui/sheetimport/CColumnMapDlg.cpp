#include "sheetimport/CColumnMapDlg.h"

#include "excel/ExcelSession.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quarvel {

namespace {

enum Column { Letter, Header, Samples, Field, kColumns };

} // namespace

CColumnMapDlg::CColumnMapDlg(ColumnMapForm &form, QWidget *parent) : QDialog(parent), form_(form)
{
    setWindowTitle(QStringLiteral("表格列对应"));
    auto *title = new QLabel(form.title(), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto *hint = new QLabel(QStringLiteral("请为每一列选择它对应的字段;带 * 的字段必须有对应的列。"), this);
    status_ = new QLabel(this);
    status_->setWordWrap(true);

    table_ = new QTableWidget(int(form.columns().size()), kColumns, this);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("列"), QStringLiteral("表头"), QStringLiteral("示例"), QStringLiteral("导入为")});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    fill();
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setColumnWidth(Samples, std::min(table_->columnWidth(Samples), 260));

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons_->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消导入"));
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(hint);
    layout->addWidget(table_, 1);
    layout->addWidget(status_);
    layout->addWidget(buttons_);
    resize(760, 480);
    refresh();
}

void CColumnMapDlg::fill()
{
    const QStringList fields = form_.fields();
    for (int row = 0; row < int(form_.columns().size()); ++row) {
        const ColumnMapForm::Column &c = form_.columns().at(row);
        const QString letter = ExcelSession::CellAddress(1, c.column).chopped(1);
        table_->setItem(row, Letter, new QTableWidgetItem(letter));
        table_->setItem(row, Header, new QTableWidgetItem(c.header));
        table_->setItem(row, Samples, new QTableWidgetItem(c.samples.join(QStringLiteral(" | "))));
        auto *box = new QComboBox(table_);
        box->addItem(ColumnMapForm::NotImported(), QString());
        for (const QString &field : fields)
            box->addItem(form_.isRequired(field) ? field + QStringLiteral(" *") : field, field);
        table_->setCellWidget(row, Field, box);
        boxes_.append(box);
        connect(box, &QComboBox::activated, this, [this, row] { chosen(row); });
    }
}

void CColumnMapDlg::chosen(int row)
{
    form_.choose(row, boxes_.at(row)->currentData().toString());
    refresh();
}

// The boxes follow the form: a field chosen for one column leaves the column that had it.
void CColumnMapDlg::refresh()
{
    for (int row = 0; row < int(boxes_.size()); ++row) {
        QComboBox *box = boxes_.at(row);
        const int at = box->findData(form_.columns().at(row).field);
        box->setCurrentIndex(at < 0 ? 0 : at);
    }
    status_->setText(form_.statusText());
    status_->setStyleSheet(form_.canAccept() ? QStringLiteral("color: #008000;") : QStringLiteral("color: #c00000;"));
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(form_.canAccept());
}

bool CColumnMapDlg::Ask(ColumnMapForm &form, QWidget *parent)
{
    CColumnMapDlg dialog(form, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace quarvel
