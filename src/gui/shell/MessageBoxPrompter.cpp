#include "shell/MessageBoxPrompter.h"

#include "app/ClientContext.h"

#include <QMessageBox>

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

} // namespace quarvel
