#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class QWidget;

namespace quarvel {

// Keys of the frame's commands that a text field of the window would
// otherwise take for itself: on X11 a line edit reads Ctrl+U as "delete to
// the start of the line", and 上传数据's Ctrl+U never reached the frame while
// the operator was typing in a field.
class FrameKeysFirst : public QObject {
public:
    // A field with this property set keeps every key (a scanner's field).
    static constexpr const char *kScannerField = "scannerField";

    FrameKeysFirst(QWidget *mainWindow, QList<QKeySequence> keys);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *main_;
    QList<QKeySequence> keys_;
};

} // namespace quarvel
