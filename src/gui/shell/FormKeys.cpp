#include "shell/FormKeys.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace quarvel {

namespace {

bool isMultiLine(const QObject *w)
{
    return qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QTextEdit *>(w);
}

// The next (or previous) field of the form that Tab would reach.
void moveFocus(QWidget *form, QWidget *from, bool forward)
{
    QWidget *w = from ? from : form;
    for (int guard = 0; guard < 1000; ++guard) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == from)
            return;
        // An editable combo box and its own line edit are one field: neither
        // is the next field of the other, and the edit (its focus proxy)
        // hands the focus back to its owner.
        const bool ownPart = from && (w->isAncestorOf(from) || from->isAncestorOf(w));
        if (form->isAncestorOf(w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            !ownPart && !w->focusProxy()) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

} // namespace

FormKeys *FormKeys::Install(QWidget *form)
{
    auto *keys = new FormKeys(form);
    form->installEventFilter(keys);
    for (QWidget *child : form->findChildren<QWidget *>())
        keys->watch(child);
    return keys;
}

FormKeys::FormKeys(QWidget *form) : QObject(form), form_(form)
{
}

void FormKeys::watch(QWidget *child)
{
    if (child->focusPolicy() != Qt::NoFocus)
        child->installEventFilter(this);
}

bool FormKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    switch (key->key()) {
    case Qt::Key_Escape:
        // A page ignores Esc; a dialog closes on it, changing nothing.
        return !qobject_cast<QDialog *>(form_);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (isMultiLine(watched))
            return false;
        if (auto *button = qobject_cast<QAbstractButton *>(watched); button && !button->isCheckable()) {
            button->click();
            return true;
        }
        if (auto *combo = qobject_cast<QComboBox *>(watched); combo && combo->view()->isVisible())
            return false;
        moveFocus(form_, widget, true);
        return true;
    case Qt::Key_Down:
    case Qt::Key_Up:
        // Lists and multi-line boxes move inside themselves.
        if (isMultiLine(watched) || qobject_cast<QAbstractItemView *>(watched))
            return false;
        if (auto *combo = qobject_cast<QComboBox *>(watched); combo && combo->view()->isVisible())
            return false;
        moveFocus(form_, widget, key->key() == Qt::Key_Down);
        return true;
    default:
        return false;
    }
}

} // namespace quarvel
