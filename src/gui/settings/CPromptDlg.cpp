#include "settings/CPromptDlg.h"

#include "app/ClientContext.h"
#include "app/PromptPhrasesForm.h"
#include "app/Prompter.h"
#include "shell/FormKeys.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvel {

CPromptDlg::CPromptDlg(ClientContext &context, Prompter &prompter, QWidget *parent)
    : QDialog(parent), context_(context), prompter_(prompter)
{
    setWindowTitle(PromptPhrasesForm::Title());
    text_ = new QPlainTextEdit(PromptPhrasesForm(context).text, this);
    text_->setMinimumSize(420, 300);
    connect(text_, &QPlainTextEdit::textChanged, this, [this] {
        if (!PromptPhrasesForm::Fits(text_->toPlainText()))
            text_->undo();
    });
    auto *submit = new QPushButton(QStringLiteral("提交设置"), this);
    auto *cancel = new QPushButton(QStringLiteral("放弃退出"), this);
    submit->setAutoDefault(false);
    cancel->setAutoDefault(false);
    connect(submit, &QPushButton::clicked, this, &CPromptDlg::Submit);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(submit);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(new QLabel(PromptPhrasesForm::Hint(), this));
    layout->addLayout(buttons);
    FormKeys::Install(this);
}

void CPromptDlg::Submit()
{
    PromptPhrasesForm form(context_);
    form.text = text_->toPlainText();
    form.Submit(prompter_);
    accept();
}

} // namespace quarvel
