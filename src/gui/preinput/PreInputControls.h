#pragma once

#include "preinput/PreInputForm.h"

#include <QHash>
#include <QList>
#include <QString>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace quarvel {

class CLinkLabel;

// The controls of the pre-entry page and their layout, built on the page:
// one control per page value by its record field name, in the order Enter
// and Tab walk through them, the clickable captions, the lock markers and
// the page's other displays. The page connects them to what they do.
class PreInputControls {
public:
    static constexpr const char *kLightBackground = "background: rgb(250,255,255);";

    explicit PreInputControls(QWidget *page);

    QWidget *control(const QString &field) const { return controls_.value(field); }
    QLineEdit *edit(const QString &field) const;
    CLinkLabel *caption(const QString &text) const { return captions_.value(text); }
    const QList<QWidget *> &tabOrder() const { return tabOrder_; }
    QLabel *lockMarker(PreInputForm::Lock lock) const { return lockMarkers_[lock]; }
    QWidget *lockField(PreInputForm::Lock lock) const { return lockFields_[lock]; }
    QLabel *title() const { return title_; }
    QLabel *indicator() const { return indicator_; }
    QLabel *scaleIndicator() const { return scaleIndicator_; }
    QCheckBox *unmarkedFilter() const { return filterUnmarked_; }
    QCheckBox *markedFilter() const { return filterMarked_; }
    QPushButton *exportHeader() const { return exportHeader_; }
    QPushButton *hideButton() const { return hideButton_; }

private:
    void buildControls();
    void buildLayout();
    CLinkLabel *link(const QString &text);
    QLineEdit *lineEdit(const QString &field, int maxChars);
    QWidget *withLock(QWidget *field, PreInputForm::Lock lock);

    QWidget *page_;
    QHash<QString, QWidget *> controls_;
    QList<QWidget *> tabOrder_;
    QHash<QString, CLinkLabel *> captions_;
    std::array<QLabel *, PreInputForm::kLocks> lockMarkers_{};
    std::array<QWidget *, PreInputForm::kLocks> lockFields_{};
    QLabel *title_ = nullptr;
    QLabel *indicator_ = nullptr;
    QLabel *scaleIndicator_ = nullptr;
    QCheckBox *filterUnmarked_ = nullptr;
    QCheckBox *filterMarked_ = nullptr;
    QPushButton *exportHeader_ = nullptr;
    QPushButton *hideButton_ = nullptr;
};

} // namespace quarvel
