#include "print/CPrintPreviewDlg.h"

#include <poppler-qt6.h>

#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

namespace quarvel {

CPrintPreviewDlg::CPrintPreviewDlg(const QString &pdfPath, const QString &title, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("打印预览 - %1").arg(title));
    area_ = new QScrollArea(this);
    area_->setBackgroundRole(QPalette::Dark);
    area_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    auto *sheet = new QWidget(area_);
    auto *pages = new QVBoxLayout(sheet);
    pages->setSpacing(12);
    area_->setWidget(sheet);
    area_->setWidgetResizable(true);

    print_ = new QPushButton(QStringLiteral("打印(&P)"), this);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    print_->setDefault(true);
    connect(print_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *file = new QLabel(QDir::toNativeSeparators(pdfPath), this);
    file->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(file, 1);
    buttons->addWidget(print_);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(area_, 1);
    layout->addLayout(buttons);

    render(pdfPath);
    for (QLabel *page : pages_)
        pages->addWidget(page, 0, Qt::AlignHCenter);
    if (pages_.isEmpty()) {
        auto *none = new QLabel(problem_, sheet);
        none->setAlignment(Qt::AlignCenter);
        pages->addWidget(none);
    }
    pages->addStretch();
    const QSize screen =
        QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableSize() : QSize(1024, 768);
    resize(std::min(screen.width() - 40, 900), std::min(screen.height() - 60, 1000));
    print_->setFocus();
}

void CPrintPreviewDlg::render(const QString &pdfPath)
{
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(pdfPath);
    if (!document || document->isLocked()) {
        problem_ = QStringLiteral("无法显示打印文件:\r\n") + QDir::toNativeSeparators(pdfPath);
        return;
    }
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    for (int i = 0; i < document->numPages(); ++i) {
        const std::unique_ptr<Poppler::Page> page = document->page(i);
        const QImage image = page ? page->renderToImage(kResolution, kResolution) : QImage();
        if (image.isNull())
            continue;
        auto *label = new QLabel;
        label->setPixmap(QPixmap::fromImage(image));
        label->setFrameShape(QFrame::Box);
        pages_.append(label);
    }
    if (pages_.isEmpty())
        problem_ = QStringLiteral("打印文件没有可显示的页面:\r\n") + QDir::toNativeSeparators(pdfPath);
}

} // namespace quarvel
