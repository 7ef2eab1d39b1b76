#include "preinput/CLinkLabel.h"

#include <QMouseEvent>

namespace quarvel {

CLinkLabel::CLinkLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    setStyleSheet(QStringLiteral("color: rgb(0,0,255); text-decoration: underline;"));
}

void CLinkLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    else
        QLabel::mousePressEvent(event);
}

} // namespace quarvel
