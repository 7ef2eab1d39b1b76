#include "shell/FocusReturn.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace quarvel {

namespace {

// Long enough for the window manager to activate a window of its choice first.
constexpr int kSettleMs = 150;

} // namespace

FocusReturn::FocusReturn(QWidget *mainWindow) : QObject(mainWindow), main_(mainWindow)
{
    qApp->installEventFilter(this);
}

bool FocusReturn::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Hide && watched != main_ && watched->isWidgetType()) {
        const auto *widget = static_cast<QWidget *>(watched);
        if (widget->isWindow() && widget->windowType() != Qt::ToolTip && widget->windowType() != Qt::Popup)
            QTimer::singleShot(kSettleMs, this, &FocusReturn::returnIfNoneActive);
    }
    return QObject::eventFilter(watched, event);
}

void FocusReturn::returnIfNoneActive()
{
    if (QApplication::activeWindow() || QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return;
    if (main_->isVisible() && !main_->isMinimized())
        main_->activateWindow();
}

} // namespace quarvel
