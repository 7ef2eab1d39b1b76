#pragma once

#include <QListWidget>

namespace quarvel {

// The small list under a field that offers destinations or contacts while
// the operator types. It never takes the focus: the first entry is
// highlighted, Page Down / Page Up in the field move the highlight, a click
// picks an entry.
class CSuggestionList : public QListWidget {
    Q_OBJECT

public:
    explicit CSuggestionList(QWidget *parent);

    // Shows the rows under the field (hides the list when there are none).
    void showUnder(QWidget *field, const QStringList &rows);
    // The highlighted row while the list shows, else -1.
    int highlighted() const;
    QWidget *field() const { return field_; }
    void moveHighlight(int step);

signals:
    void picked(int row);

private:
    QWidget *field_ = nullptr;
};

} // namespace quarvel
