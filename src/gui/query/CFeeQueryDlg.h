#pragma once

#include "query/FeeQueryForm.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace quarvel {

class Prompter;

// "快件结算记录查询条件输入": the settlement query dialog over its form; a
// click on "缴款日期:" steps the date range.
class CFeeQueryDlg : public QDialog {
    Q_OBJECT

public:
    CFeeQueryDlg(FeeQueryForm &form, Prompter &prompter, QWidget *parent = nullptr);

    void Confirm();
    void Reset();
    void StepDates();

    QLineEdit &invoice() { return *invoice_; }
    QLineEdit &from() { return *from_; }
    QLineEdit &to() { return *to_; }
    QCheckBox &type(int index) { return *types_[index]; }
    QLineEdit &amountFrom() { return *amountFrom_; }
    QLineEdit &amountTo() { return *amountTo_; }
    QLineEdit &operatorName() { return *operator_; }

private:
    void showValues();
    void readValues();

    FeeQueryForm &form_;
    Prompter &prompter_;
    QLineEdit *invoice_ = nullptr;
    QLineEdit *from_ = nullptr;
    QLineEdit *to_ = nullptr;
    QCheckBox *types_[2] = {};
    QLineEdit *amountFrom_ = nullptr;
    QLineEdit *amountTo_ = nullptr;
    QLineEdit *operator_ = nullptr;
};

} // namespace quarvel
