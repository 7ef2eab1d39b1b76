#pragma once

#include "print/PrintPreview.h"

#include <QDialog>

#include <functional>

class QWidget;

namespace quarvel {

// The window's preview: the print preview dialog, run modally over the
// parent. Tests replace the runner to look at the dialog and answer it.
class DialogPrintPreview : public PrintPreview {
public:
    using Runner = std::function<int(QDialog &dialog)>;

    explicit DialogPrintPreview(QWidget *parent) : parent_(parent) {}
    void setRunner(Runner runner) { run_ = std::move(runner); }

    bool Confirm(const QString &pdfPath, const QString &title) override;

private:
    QWidget *parent_;
    Runner run_ = [](QDialog &dialog) { return dialog.exec(); };
};

} // namespace quarvel
