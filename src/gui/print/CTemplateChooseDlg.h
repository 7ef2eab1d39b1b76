#pragma once

#include "print/TemplateChooseForm.h"

#include <QDialog>

class QLabel;
class QTableWidget;

namespace quarvel {

// "选择当前启用的%s模版": the templates of one kind in DATA_MODEL; a double
// click chooses a row, "确认选择" ends with the choice, "放弃退出" without.
class CTemplateChooseDlg : public QDialog {
    Q_OBJECT

public:
    CTemplateChooseDlg(TemplateChooseForm &form, QWidget *parent = nullptr);

    QTableWidget *list() const { return list_; }
    QLabel *choiceLabel() const { return choice_; }
    // The name chosen when the dialog ended with "确认选择"; empty otherwise.
    QString chosenName() const { return result() == Accepted ? form_.choice() : QString(); }

private:
    void choose(int row);

    TemplateChooseForm &form_;
    QTableWidget *list_ = nullptr;
    QLabel *choice_ = nullptr;
};

} // namespace quarvel
