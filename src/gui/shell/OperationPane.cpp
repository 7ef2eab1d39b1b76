#include "shell/OperationPane.h"

#include "shell/FrameTexts.h"

namespace quarvel {

OperationPane::OperationPane(QWidget *parent) : QLabel(parent), rgb_(FrameTexts::kOperationColor)
{
    setMinimumWidth(fontMetrics().horizontalAdvance(
        QStringLiteral("当前操作：-----系统用户验证登入 (28)................................")));
    setOperation(QString(), rgb_);
}

void OperationPane::setOperation(const QString &text, unsigned rgb)
{
    rgb_ = rgb;
    setStyleSheet(QStringLiteral("color: #%1;").arg(rgb, 6, 16, QLatin1Char('0')));
    setText(text);
}

} // namespace quarvel
