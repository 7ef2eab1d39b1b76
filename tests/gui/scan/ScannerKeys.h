#pragma once

#include <QCoreApplication>
#include <QKeyEvent>
#include <QString>
#include <QWindow>

// A barcode scanner on the keyboard: key events posted to the window, where
// they wait in the event queue like real keys and go to whatever has the
// focus when they are delivered. Each key carries its own time stamp, so the
// page sees a scanner's timing however long the test takes to deliver them.
class ScannerKeys {
public:
    explicit ScannerKeys(QWindow *window, qint64 start = 1'000'000) : window_(window), now_(start) {}

    // One scan: the characters `gap` ms apart, then Enter (unless `enter` is false).
    void scan(const QString &text, bool enter = true, qint64 gap = 2)
    {
        for (QChar c : text)
            key(keyOf(c), QString(c), gap);
        if (enter)
            key(Qt::Key_Return, QStringLiteral("\r"), gap);
    }
    // One scan ended by Tab, as some scanners are set up.
    void scanWithTab(const QString &text, qint64 gap = 2)
    {
        scan(text, false, gap);
        key(Qt::Key_Tab, QStringLiteral("\t"), gap);
    }
    // A control code as a scanner sends it (Ctrl with a key).
    void control(char16_t code, qint64 gap = 2)
    {
        post(Qt::Key_BracketRight, Qt::ControlModifier, QString(QChar(code)), gap);
    }
    // A pause, as between two scans.
    void wait(qint64 ms) { now_ += ms; }
    // A person typing: `gap` ms between keys.
    void type(const QString &text, qint64 gap = 180) { scan(text, true, gap); }

    qint64 now() const { return now_; }

private:
    static int keyOf(QChar c)
    {
        const QChar upper = c.toUpper();
        return upper.unicode() < 0x80 && upper.isLetterOrNumber() ? int(upper.unicode()) : int(Qt::Key_unknown);
    }

    void key(int code, const QString &text, qint64 gap) { post(code, Qt::NoModifier, text, gap); }

    void post(int code, Qt::KeyboardModifiers modifiers, const QString &text, qint64 gap)
    {
        now_ += gap;
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            auto *event = new QKeyEvent(type, code, modifiers, text);
            event->setTimestamp(static_cast<quint64>(now_));
            QCoreApplication::postEvent(window_, event);
        }
    }

    QWindow *window_;
    qint64 now_;
};
