#pragma once

#include "preinput/PieceWeightForm.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QTableWidget;

namespace quarvel {

// "一票多件明细重量管理" over a PieceWeightForm: the entry of the current
// piece, the list of pieces with their chargeable weights and the total.
class CPieceWeightDlg : public QDialog {
    Q_OBJECT

public:
    CPieceWeightDlg(PieceWeightForm &form, QWidget *parent = nullptr);

    QLineEdit *weightBox() const { return weight_; }
    QLineEdit *lengthBox() const { return length_; }
    QLineEdit *widthBox() const { return width_; }
    QLineEdit *heightBox() const { return height_; }
    QLineEdit *shareBox() const { return share_; }
    QLineEdit *copiesBox() const { return copies_; }
    QLineEdit *nameBox() const { return name_; }
    QTableWidget *table() const { return table_; }
    QLabel *titleLabel() const { return title_; }
    QLabel *totalLabel() const { return total_; }
    QLabel *volumeLabel() const { return volume_; }
    QLabel *divisorLabel() const { return divisor_; }

    // "确认当前件&S".
    void ConfirmPiece();
    // "重  输 &D".
    void ClearEntry();
    // "确认数据关闭&C": confirms, then closes in every case.
    void ConfirmAndClose();
    void SelectRow(int row);

private:
    void showAll();
    void showEntry();
    void showVolume();
    void readEntry();

    PieceWeightForm &form_;
    QLabel *title_ = nullptr;
    QLabel *divisor_ = nullptr;
    QLabel *volume_ = nullptr;
    QLabel *total_ = nullptr;
    QLineEdit *weight_ = nullptr;
    QLineEdit *length_ = nullptr;
    QLineEdit *width_ = nullptr;
    QLineEdit *height_ = nullptr;
    QLineEdit *share_ = nullptr;
    QLineEdit *copies_ = nullptr;
    QLineEdit *name_ = nullptr;
    QLineEdit *quantity_ = nullptr;
    QLineEdit *price_ = nullptr;
    QTableWidget *table_ = nullptr;
};

} // namespace quarvel
