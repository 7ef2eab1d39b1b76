#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

namespace quarvel {

// A list to pick one text from, in the caller's order and under the
// caller's title: "确认选取" or a double-click returns the selected text,
// "取消关闭" returns nothing.
class CListChooseDlg : public QDialog {
    Q_OBJECT

public:
    CListChooseDlg(const QString &title, const QStringList &items, QWidget *parent = nullptr);

    // Runs the dialog; the chosen text, or an empty text when cancelled.
    static QString Choose(QWidget *parent, const QString &title, const QStringList &items);

    QListWidget *list() const { return list_; }
    QString chosen() const { return chosen_; }
    // "确认选取": takes the selected entry (nothing happens without one).
    void Confirm();

private:
    QListWidget *list_ = nullptr;
    QString chosen_;
};

} // namespace quarvel
