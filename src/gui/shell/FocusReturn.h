#pragma once

#include <QObject>

class QWidget;

namespace quarvel {

// Gives the keyboard back to the main window when a window of ours closes
// and none of the program's windows is active: a dialog that closes right
// after its own message box can leave the window manager focusing nothing,
// and the operator's next keys would go nowhere.
class FocusReturn : public QObject {
public:
    explicit FocusReturn(QWidget *mainWindow);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void returnIfNoneActive();

    QWidget *main_;
};

} // namespace quarvel
