#pragma once

#include <QHash>
#include <QKeySequence>
#include <QObject>

class QWidget;

namespace quarvel {

class CLinkLabel;

// The keyboard path of clickable captions: F9 in the field beside a caption
// does what a click on it does, and a caption may also have a shortcut of
// its own on its form. The caption's tooltip says what it does and how.
class CaptionKeys : public QObject {
    Q_OBJECT

public:
    static constexpr int kFieldKey = Qt::Key_F9;

    explicit CaptionKeys(QWidget *form);

    // `field` may be null (a caption beside a read-only text).
    void bind(CLinkLabel *caption, QWidget *field, const QString &what, const QKeySequence &shortcut = {});

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *form_;
    QHash<QObject *, CLinkLabel *> captionOf_;
};

} // namespace quarvel
