#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

namespace quarvel {

// A list to pick one text from, in the caller's order and under the
// caller's title: "确认选取", Return or a double-click returns the selected
// text, "取消关闭" or Esc returns nothing. Up and Down move the highlight.
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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QListWidget *list_ = nullptr;
    QString chosen_;
};

} // namespace quarvel
