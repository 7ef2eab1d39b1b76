#include "net/CLoginDlg.h"

#include "net/LoginForm.h"
#include "shell/MessageBoxPrompter.h"

#include <QColor>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvel {

CLoginDlg::CLoginDlg(LoginForm &form, Prompter *prompter, QWidget *parent)
    : QDialog(parent), form_(form), ownPrompter_(prompter ? nullptr : std::make_unique<MessageBoxPrompter>(this)),
      prompter_(prompter ? prompter : ownPrompter_.get()), account_(new QLineEdit(this)),
      password_(new QLineEdit(this)), status_(new QLabel(this)),
      login_(new QPushButton(QStringLiteral("确认登入"), this)),
      close_(new QPushButton(QStringLiteral("取消关闭"), this))
{
    setWindowTitle(LoginForm::title());
    account_->setMaxLength(LoginForm::kMaxLength);
    password_->setMaxLength(LoginForm::kMaxLength);
    password_->setEchoMode(QLineEdit::Password);
    // No default button: Enter means "next box" or "log in" by where it is
    // pressed (see keyPressEvent), never a button the operator cannot see.
    login_->setAutoDefault(false);
    close_->setAutoDefault(false);

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("帐号:"), account_);
    fields->addRow(QStringLiteral("密码:"), password_);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(login_);
    buttons->addWidget(close_);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(status_);
    layout->addLayout(buttons);

    connect(account_, &QLineEdit::returnPressed, password_, qOverload<>(&QWidget::setFocus));
    connect(password_, &QLineEdit::returnPressed, this, &CLoginDlg::confirm);
    connect(login_, &QPushButton::clicked, this, &CLoginDlg::confirm);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);

    form_.Open();
    showForm();
}

CLoginDlg::~CLoginDlg() = default;

void CLoginDlg::showForm()
{
    account_->setText(form_.account);
    password_->setText(form_.password);
    showStatus();
    switch (form_.focus()) {
    case LoginForm::Focus::Account:
        account_->setFocus();
        break;
    case LoginForm::Focus::Password:
        password_->setFocus();
        break;
    case LoginForm::Focus::LoginButton:
        login_->setFocus();
        break;
    }
}

void CLoginDlg::showStatus()
{
    status_->setText(form_.statusText());
    QPalette palette = status_->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(form_.statusColor()));
    status_->setPalette(palette);
}

void CLoginDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    // The boxes have acted on their own returnPressed; a focused button is pressed.
    if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
        button->click();
}

void CLoginDlg::confirm()
{
    form_.account = account_->text();
    form_.password = password_->text();
    const bool done = form_.Confirm(*prompter_);
    // The check trims the values; show them as they were read.
    account_->setText(form_.account);
    password_->setText(form_.password);
    showStatus();
    if (done)
        accept();
}

} // namespace quarvel
