#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace quarvel {

class ClientContext;
class Prompter;

// "设置常用提示输入信息": the phrases offered while typing, one a line.
class CPromptDlg : public QDialog {
    Q_OBJECT

public:
    CPromptDlg(ClientContext &context, Prompter &prompter, QWidget *parent = nullptr);

    QPlainTextEdit *textBox() const { return text_; }
    // "提交设置": saves the text, parses it and tells the operator.
    void Submit();

private:
    ClientContext &context_;
    Prompter &prompter_;
    QPlainTextEdit *text_ = nullptr;
};

} // namespace quarvel
