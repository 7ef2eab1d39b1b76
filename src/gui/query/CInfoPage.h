#pragma once

#include "query/ShipmentInfo.h"

#include <QByteArray>
#include <QUrl>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QTextBrowser;

namespace quarvel {

// The shipment information page that a query page shows on its left when a
// row is opened: the title line (green on white), the close button "C" and
// the generated page in a text browser. Values from the server are escaped
// when the page is generated; the only link, the tracking page, opens in
// the system browser.
class CInfoPage : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 352;

    explicit CInfoPage(QWidget *parent = nullptr);

    // Fills title and page for a shipment; `host` is the server's for the
    // tracking link.
    void ShowInfo(const ShipmentInfo &info, const QByteArray &host);
    int recordId() const { return recordId_; }

    QLabel &title() { return *title_; }
    QPushButton &closeButton() { return *close_; }
    QTextBrowser &browser() { return *browser_; }
    // How a clicked link is opened (the system browser unless replaced).
    void setLinkOpener(std::function<void(const QUrl &)> opener) { openLink_ = std::move(opener); }

signals:
    // "C": the page asks its pane to show the list alone again.
    void closeRequested();

private:
    void openLink(const QUrl &url);

    QLabel *title_ = nullptr;
    QPushButton *close_ = nullptr;
    QTextBrowser *browser_ = nullptr;
    std::function<void(const QUrl &)> openLink_;
    int recordId_ = 0;
};

} // namespace quarvel
