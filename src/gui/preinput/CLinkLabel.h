#pragma once

#include <QLabel>

namespace quarvel {

// A caption that works as a shortcut: hand cursor, link colour, a left click
// emits clicked().
class CLinkLabel : public QLabel {
    Q_OBJECT

public:
    CLinkLabel(const QString &text, QWidget *parent = nullptr);

    // What a click does, for tests and keyboard-free use.
    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

} // namespace quarvel
