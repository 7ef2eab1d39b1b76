#include "preinput/CaptionKeys.h"

#include "preinput/CLinkLabel.h"

#include <QKeyEvent>
#include <QShortcut>
#include <QWidget>

namespace quarvel {

CaptionKeys::CaptionKeys(QWidget *form) : QObject(form), form_(form)
{
}

void CaptionKeys::bind(CLinkLabel *caption, QWidget *field, const QString &what, const QKeySequence &shortcut)
{
    QStringList ways{QStringLiteral("单击")};
    if (field) {
        captionOf_.insert(field, caption);
        field->installEventFilter(this);
        ways << QStringLiteral("在本栏按 %1").arg(QKeySequence(kFieldKey).toString(QKeySequence::NativeText));
    }
    if (!shortcut.isEmpty()) {
        auto *key = new QShortcut(shortcut, form_);
        // Anywhere in the window while the form shows (a hidden page's
        // shortcuts do not fire).
        key->setContext(Qt::WindowShortcut);
        connect(key, &QShortcut::activated, caption, &CLinkLabel::click);
        ways << QStringLiteral("按 %1").arg(shortcut.toString(QKeySequence::NativeText));
    }
    const QString tip = QStringLiteral("%1（%2）").arg(what, ways.join(QStringLiteral("、")));
    caption->setToolTip(tip);
    if (field && field->toolTip().isEmpty())
        field->setToolTip(tip);
}

bool CaptionKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == kFieldKey &&
        static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier) {
        if (CLinkLabel *caption = captionOf_.value(watched)) {
            caption->click();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quarvel
