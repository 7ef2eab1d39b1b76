#pragma once

#include "excel/ColumnMapForm.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QTableWidget;

namespace quarvel {

// "表格列对应": the sheet's header row, a few values of each column and the
// field each column feeds, as the import recognised it. The operator picks
// the field of the columns it did not know; "确定" is enabled once every
// required field has a column. The choices go into the form.
class CColumnMapDlg : public QDialog {
    Q_OBJECT

public:
    CColumnMapDlg(ColumnMapForm &form, QWidget *parent = nullptr);

    QTableWidget *table() const { return table_; }
    // The field box of a column (by its row in the table).
    QComboBox *fieldBox(int row) const { return boxes_.value(row); }
    QLabel *statusLabel() const { return status_; }
    QDialogButtonBox *buttons() const { return buttons_; }

    // Asks with the dialog over parent; false when the operator cancels.
    static bool Ask(ColumnMapForm &form, QWidget *parent);

private:
    void fill();
    void chosen(int row);
    void refresh();

    ColumnMapForm &form_;
    QLabel *status_ = nullptr;
    QTableWidget *table_ = nullptr;
    QList<QComboBox *> boxes_;
    QDialogButtonBox *buttons_ = nullptr;
};

} // namespace quarvel
