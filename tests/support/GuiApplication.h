#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

// The one QApplication of a gui test program, made on first use (the tests
// run on Qt's offscreen platform). It is never destroyed: tearing it down
// after the test framework's own static objects crashes at exit.
inline QApplication &guiApplication()
{
    if (auto *app = qobject_cast<QApplication *>(QCoreApplication::instance()))
        return *app;
    static int argc = 1;
    static char name[] = "gui_tests";
    static char *argv[] = {name, nullptr};
    static QApplication *app = new QApplication(argc, argv);
    return *app;
}

// Types text into a widget key by key, as an operator would.
inline void typeInto(QWidget *widget, const QString &text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &release);
    }
}

inline void pressKey(QWidget *widget, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}
