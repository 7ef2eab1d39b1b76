#pragma once

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QScrollArea;

namespace quarvel {

// The document about to be printed: every page of its PDF rendered, with
// "打印(&P)" (the default: Enter prints) and "取消" (Esc drops it).
class CPrintPreviewDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr double kResolution = 96.0;

    CPrintPreviewDlg(const QString &pdfPath, const QString &title, QWidget *parent = nullptr);

    // The pages as rendered; empty when the PDF could not be read.
    int pageCount() const { return int(pages_.size()); }
    QPushButton *printButton() const { return print_; }
    QLabel *pageLabel(int page) const { return pages_.value(page); }
    QString problem() const { return problem_; }

private:
    void render(const QString &pdfPath);

    QScrollArea *area_ = nullptr;
    QList<QLabel *> pages_;
    QPushButton *print_ = nullptr;
    QString problem_;
};

} // namespace quarvel
