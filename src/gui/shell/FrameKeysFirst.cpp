#include "shell/FrameKeysFirst.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace quarvel {

FrameKeysFirst::FrameKeysFirst(QWidget *mainWindow, QList<QKeySequence> keys)
    : QObject(mainWindow), main_(mainWindow), keys_(std::move(keys))
{
    qApp->installEventFilter(this);
}

bool FrameKeysFirst::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    const auto *widget = static_cast<QWidget *>(watched);
    // A scanner's field reads the control codes of a scan itself.
    if (widget->window() != main_ || widget->property(kScannerField).toBool())
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const QKeySequence pressed(key->keyCombination());
    // Left unaccepted, the override lets the shortcut map give the key to the
    // frame's command instead of the field.
    return keys_.contains(pressed);
}

} // namespace quarvel
