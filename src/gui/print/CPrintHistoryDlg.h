#pragma once

#include <QDialog>

class QPushButton;
class QSpinBox;
class QTableWidget;

namespace quarvel {

class ClientContext;
class Prompter;

// "打印记录": the recent printouts of the print ledger, newest first; the one
// chosen is printed again from its PDF ("再次打印(&R)") or opened in the
// desktop's viewer ("打开文件(&O)").
class CPrintHistoryDlg : public QDialog {
    Q_OBJECT

public:
    CPrintHistoryDlg(ClientContext &context, Prompter &prompter, QWidget *parent = nullptr);

    QTableWidget *table() const { return table_; }
    QPushButton *againButton() const { return again_; }
    QSpinBox *copiesBox() const { return copies_; }

    void Refresh();
    // Prints the selected printout again; false when none is selected or it failed.
    bool PrintAgain();
    void OpenFile();

private:
    int selectedNumber() const;

    ClientContext &context_;
    Prompter &prompter_;
    QTableWidget *table_ = nullptr;
    QPushButton *again_ = nullptr;
    QSpinBox *copies_ = nullptr;
};

} // namespace quarvel
