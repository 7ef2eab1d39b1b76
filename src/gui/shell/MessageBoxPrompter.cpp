#include "shell/MessageBoxPrompter.h"

#include "app/ClientContext.h"

#include <QMessageBox>
#include <QPushButton>

namespace quarvel {

namespace {

QString titleOr(const QString &title)
{
    return title.isEmpty() ? ClientContext::applicationTitle() : title;
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
    QMessageBox::critical(parent_, titleOr(title), plain(text));
}

void MessageBoxPrompter::warning(const QString &title, const QString &text)
{
    QMessageBox::warning(parent_, titleOr(title), plain(text));
}

void MessageBoxPrompter::inform(const QString &title, const QString &text)
{
    QMessageBox::information(parent_, titleOr(title), plain(text));
}

bool MessageBoxPrompter::ask(const QString &caption, const QString &text)
{
    return QMessageBox::question(parent_, titleOr(caption), plain(text), QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

Prompter::SaveChoice MessageBoxPrompter::askSave(const QString &caption, const QString &text)
{
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
