#pragma once

#include "preinput/CollectForm.h"

#include <QDialog>

class QLineEdit;

namespace quarvel {

class Prompter;

// "到付运费及代收货款管理" over a CollectForm: the fee (read-only), the
// freight settled with the customer (payment "到付" only), the COD total and
// the COD settled with the customer.
class CCollectDlg : public QDialog {
    Q_OBJECT

public:
    CCollectDlg(CollectForm &form, Prompter &prompter, QWidget *parent = nullptr);

    QLineEdit *feeBox() const { return fee_; }
    QLineEdit *collectSettleBox() const { return collectSettle_; }
    QLineEdit *codBox() const { return cod_; }
    QLineEdit *codSettleBox() const { return codSettle_; }

    // "确定": closes with OK when the form accepts the amounts.
    void Confirm();
    // "重写".
    void Clear();

private:
    void show(const CollectForm &form);
    void read();

    CollectForm &form_;
    Prompter &prompter_;
    QLineEdit *fee_ = nullptr;
    QLineEdit *collectSettle_ = nullptr;
    QLineEdit *cod_ = nullptr;
    QLineEdit *codSettle_ = nullptr;
};

} // namespace quarvel
