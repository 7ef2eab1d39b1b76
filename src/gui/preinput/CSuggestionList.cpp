#include "preinput/CSuggestionList.h"

#include <algorithm>

namespace quarvel {

CSuggestionList::CSuggestionList(QWidget *parent) : QListWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::Box);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setStyleSheet(QStringLiteral("QListWidget { background: rgb(250,255,255); color: rgb(0,128,0); }"));
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { emit picked(row(item)); });
    hide();
}

void CSuggestionList::showUnder(QWidget *field, const QStringList &rows)
{
    field_ = field;
    clear();
    if (rows.isEmpty()) {
        hide();
        return;
    }
    addItems(rows);
    setCurrentRow(0);
    const QPoint at = field->mapTo(parentWidget(), QPoint(0, field->height()));
    const int rowHeight = sizeHintForRow(0) > 0 ? sizeHintForRow(0) : 18;
    setGeometry(at.x(), at.y(), std::max(field->width(), 260), rowHeight * int(rows.size()) + 4);
    raise();
    show();
}

int CSuggestionList::highlighted() const
{
    return isVisible() ? currentRow() : -1;
}

void CSuggestionList::moveHighlight(int step)
{
    if (isVisible() && count() > 0)
        setCurrentRow(std::clamp(currentRow() + step, 0, count() - 1));
}

} // namespace quarvel
