#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quarvel {

class LoginForm;
class Prompter;

// The login dialog "登入服务器", bound to a LoginForm: account and masked
// password boxes of 30 characters, the status line in its colour, "确认登入"
// and "取消关闭". Enter in the account box moves to the password box, Enter in
// the password box logs in; the dialog closes with OK once a session is open.
class CLoginDlg : public QDialog {
    Q_OBJECT
public:
    // Messages go to `prompter`, or to message boxes over the dialog when null.
    explicit CLoginDlg(LoginForm &form, Prompter *prompter = nullptr, QWidget *parent = nullptr);
    ~CLoginDlg() override;

    QLineEdit *accountEdit() const { return account_; }
    QLineEdit *passwordEdit() const { return password_; }
    QLabel *statusLabel() const { return status_; }
    QPushButton *loginButton() const { return login_; }
    QPushButton *closeButton() const { return close_; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void confirm();
    void showForm();
    void showStatus();

    LoginForm &form_;
    std::unique_ptr<Prompter> ownPrompter_;
    Prompter *prompter_;
    QLineEdit *account_;
    QLineEdit *password_;
    QLabel *status_;
    QPushButton *login_;
    QPushButton *close_;
};

} // namespace quarvel
