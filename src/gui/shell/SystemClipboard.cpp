#include "shell/SystemClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace quarvel {

void SystemClipboard::setText(const QString &text)
{
    // Core texts break lines the Windows way; the desktop here wants "\n".
    QString plain = text;
    QGuiApplication::clipboard()->setText(plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

} // namespace quarvel
