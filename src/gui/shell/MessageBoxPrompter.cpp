#include "shell/MessageBoxPrompter.h"

#include "app/ClientContext.h"
#include "app/SupportLog.h"

#include <QMessageBox>
#include <QPushButton>

namespace quarvel {

namespace {

QString titleOr(const QString &title)
{
    return title.isEmpty() ? ClientContext::applicationTitle() : title;
}

// Every box the operator sees goes to the support log first, so that a
// message is there even when the program ends while it shows.
void logged(const char *kind, const QString &title, const QString &text)
{
    SupportLog::Process().Message(QLatin1String(kind), titleOr(title), text);
}

// Windows message texts break lines with "\r\n"; Qt wants "\n" alone.
QString plain(const QString &text)
{
    QString t = text;
    return t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

void MessageBoxPrompter::error(const QString &title, const QString &text)
{
    logged("error", title, text);
    QMessageBox::critical(parent_, titleOr(title), plain(text));
}

void MessageBoxPrompter::warning(const QString &title, const QString &text)
{
    logged("warning", title, text);
    QMessageBox::warning(parent_, titleOr(title), plain(text));
}

void MessageBoxPrompter::inform(const QString &title, const QString &text)
{
    logged("information", title, text);
    QMessageBox::information(parent_, titleOr(title), plain(text));
}

bool MessageBoxPrompter::ask(const QString &caption, const QString &text)
{
    logged("question", caption, text);
    const bool yes = QMessageBox::question(parent_, titleOr(caption), plain(text),
                                           QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    SupportLog::Process().Write(QStringLiteral("answer"), yes ? QStringLiteral("yes") : QStringLiteral("no"));
    return yes;
}

Prompter::SaveChoice MessageBoxPrompter::askSave(const QString &caption, const QString &text)
{
    logged("question", caption, text);
    QMessageBox box(QMessageBox::Question, titleOr(caption), plain(text), QMessageBox::NoButton, parent_);
    QPushButton *save = box.addButton(QStringLiteral("保存(&S)"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(QStringLiteral("不保存(&N)"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return SaveChoice::Save;
    return box.clickedButton() == discard ? SaveChoice::Discard : SaveChoice::Cancel;
}

} // namespace quarvel
