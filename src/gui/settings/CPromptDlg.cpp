#include "settings/CPromptDlg.h"

#include "app/ClientContext.h"
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
    setWindowTitle(QStringLiteral("设置常用提示输入信息"));
    QString shown = PromptPhrases::Join(context.promptPhrases().phrases());
    // The box shows lines; the file keeps Windows line breaks.
    text_ = new QPlainTextEdit(shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")), this);
    text_->setMinimumSize(420, 300);
    connect(text_, &QPlainTextEdit::textChanged, this, [this] {
        if (text_->toPlainText().size() > kMaxChars)
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
    layout->addWidget(new QLabel(QStringLiteral("设置短句以回车分隔,在各页的\"备注\"等字段中可以提示输入!"), this));
    layout->addLayout(buttons);
    FormKeys::Install(this);
}

void CPromptDlg::Submit()
{
    QString text = text_->toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    context_.SavePromptPhrases(text);
    prompter_.inform(QStringLiteral("提示"), QStringLiteral("提示输入信息设置成功。"));
    accept();
}

} // namespace quarvel
