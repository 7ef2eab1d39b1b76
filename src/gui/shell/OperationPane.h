#pragma once

#include <QLabel>

namespace quarvel {

// Status pane 1: the current operation, drawn in its own colour.
class OperationPane : public QLabel {
    Q_OBJECT

public:
    explicit OperationPane(QWidget *parent = nullptr);
    void setOperation(const QString &text, unsigned rgb);
    unsigned color() const { return rgb_; }

private:
    unsigned rgb_;
};

} // namespace quarvel
