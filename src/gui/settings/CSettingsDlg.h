#pragma once

#include "app/ProgramSettings.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quarvel {

class ClientContext;
class Prompter;

// "设置本程序运行默认数据": the program number and the defaults of new records.
class CSettingsDlg : public QDialog {
    Q_OBJECT

public:
    CSettingsDlg(ClientContext &context, Prompter &prompter, QWidget *parent = nullptr);

    QLineEdit *programNumberBox() const { return number_; }
    QLineEdit *box(QString ProgramSettings::*member) const;
    QPlainTextEdit *addressBox() const { return address_; }
    QPushButton *confirmButton() const { return confirm_; }

    // "确认设置": copies the fields into the settings, saves them and closes.
    void Confirm();

private:
    ClientContext &context_;
    Prompter &prompter_;
    QLineEdit *number_ = nullptr;
    QList<QPair<QString ProgramSettings::*, QLineEdit *>> boxes_;
    QPlainTextEdit *address_ = nullptr;
    QPushButton *confirm_ = nullptr;
};

} // namespace quarvel
