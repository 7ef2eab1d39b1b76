#pragma once

#include <QObject>

class QWidget;

namespace quarvel {

// The keyboard of every form: Enter moves on like Tab (a new line in
// multi-line boxes, a click on a focused button), the arrow keys move to the
// next or previous field (not inside multi-line boxes), Esc does nothing on
// a page and closes a dialog as its cancel button does.
class FormKeys : public QObject {
    Q_OBJECT

public:
    // Installs itself on the form and every child that can take the focus.
    static FormKeys *Install(QWidget *form);

    explicit FormKeys(QWidget *form);
    // Starts watching a child added after installation.
    void watch(QWidget *child);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *form_;
};

} // namespace quarvel
