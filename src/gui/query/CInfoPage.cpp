#include "query/CInfoPage.h"

#include "query/ShipmentInfoPage.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace quarvel {

CInfoPage::CInfoPage(QWidget *parent)
    : QWidget(parent), openLink_([](const QUrl &url) { QDesktopServices::openUrl(url); })
{
    title_ = new QLabel(this);
    // A waybill number from the server is text, never markup.
    title_->setTextFormat(Qt::PlainText);
    title_->setStyleSheet(QStringLiteral("color: rgb(0,128,0); background: white; padding: 2px;"));
    title_->setAutoFillBackground(true);
    close_ = new QPushButton(QStringLiteral("C"), this);
    close_->setFixedSize(22, 20);
    close_->setAutoDefault(false);
    browser_ = new QTextBrowser(this);
    browser_->setOpenLinks(false);
    browser_->setOpenExternalLinks(false);
    // The generated page keeps its context menu away, as its skeleton says.
    browser_->setContextMenuPolicy(Qt::NoContextMenu);
    // The browser view sizes the label column to its first row; labels stay on one line.
    browser_->document()->setDefaultStyleSheet(QStringLiteral(".nm{white-space:nowrap;}"));
    browser_->setHtml(ShipmentInfoPage::Document(QString()));

    auto *top = new QHBoxLayout;
    top->addWidget(title_, 1);
    top->addWidget(close_);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 4, 2, 2);
    layout->addLayout(top);
    layout->addWidget(browser_, 1);

    connect(close_, &QPushButton::clicked, this, &CInfoPage::closeRequested);
    connect(browser_, &QTextBrowser::anchorClicked, this, &CInfoPage::openLink);
}

void CInfoPage::ShowInfo(const ShipmentInfo &info, const QByteArray &host)
{
    recordId_ = info.recordId;
    title_->setText(ShipmentInfoPage::Title(info));
    browser_->setHtml(ShipmentInfoPage::Document(ShipmentInfoPage::Body(info, host)));
}

void CInfoPage::openLink(const QUrl &url)
{
    // Only web links leave the program; the page holds no other kind.
    if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
        openLink_(url);
}

} // namespace quarvel
