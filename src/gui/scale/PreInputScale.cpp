#include "scale/PreInputScale.h"

#include "preinput/CPreInputPage.h"
#include "scale/ScaleLink.h"
#include "scale/ScaleSettings.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace quarvel {

namespace {

QString colour(unsigned rgb)
{
    return QStringLiteral("color: #%1;").arg(rgb, 6, 16, QLatin1Char('0'));
}

// A reading that says the scale no longer shows the weight in the field. A
// failed check or broken bytes say nothing of the load: the weight stays.
bool withdraws(const ScaleReading &r)
{
    return r.status != ScaleReading::Status::BadCheck && r.status != ScaleReading::Status::Garbled;
}

} // namespace

PreInputScale::PreInputScale(ScaleLink &link, const ScaleSettings &settings, CPreInputPage &page, StatusLine status)
    : QObject(&page), link_(link), settings_(settings), page_(page), status_(std::move(status)),
      retry_(new QTimer(this))
{
    retry_->setInterval(kRetryMs);
    connect(retry_, &QTimer::timeout, this, &PreInputScale::retry);
    connect(&page, &CPreInputPage::weightFocusChanged, this, &PreInputScale::weightFocus);
    connect(&page, &CPreInputPage::recordChanged, this, &PreInputScale::clearStatus);
    // A weight typed by hand did not come from the scale.
    if (QLineEdit *weight = page.edit(QStringLiteral("fweight")))
        connect(weight, &QLineEdit::textEdited, this, &PreInputScale::clearStatus);
}

PreInputScale::~PreInputScale()
{
    link_.CloseScale(this);
}

bool PreInputScale::listening() const
{
    return link_.isOpen() && link_.owner() == this;
}

bool PreInputScale::retrying() const
{
    return retry_->isActive();
}

void PreInputScale::weightFocus(bool gained)
{
    if (!gained) {
        inField_ = false;
        retry_->stop();
        link_.CloseScale(this);
        showIndicator();
        return;
    }
    if (!page_.form().isNew() || !settings_.isEnabled())
        return;
    inField_ = true;
    settle_.Clear();
    continuous_ = !settings_.onStable();
    open();
    showIndicator();
}

bool PreInputScale::open()
{
    ScaleLink::Listener listener;
    listener.owner = this;
    listener.reading = [this](const ScaleReading &r) { reading(r); };
    listener.lost = [this](const QString &reason) { lost(reason); };
    if (link_.OpenScale(listener)) {
        retry_->stop();
        return true;
    }
    if (!link_.lastError().isEmpty()) {
        showStatus(link_.lastError(), kFailureColor);
        retry_->start();
    }
    return false;
}

void PreInputScale::retry()
{
    // Someone else's test of the scale is not taken over.
    if (!inField_ || !page_.form().isNew() || !settings_.isEnabled() || link_.isOpen()) {
        retry_->stop();
        return;
    }
    if (open())
        showStatus(QStringLiteral("电子秤 %1 已重新连接，等待读数").arg(link_.device()), ScaleSettle::kWaitingColor);
    showIndicator();
}

void PreInputScale::reading(const ScaleReading &r)
{
    if (!page_.form().takesScaleReadings())
        return;
    const bool taken = settle_.Take(r, !continuous_);
    if (taken) {
        page_.ShowScaleReading(int(r.grams));
        fromScale_ = true;
    } else if (fromScale_ && withdraws(r) && page_.WithdrawScaleReading()) {
        fromScale_ = false;
    }
    showStatus(ScaleSettle::StatusText(r, taken, continuous_), ScaleSettle::StatusColour(r, taken));
    showIndicator();
}

void PreInputScale::lost(const QString &reason)
{
    showStatus(reason, kFailureColor);
    showIndicator();
    if (inField_)
        retry_->start();
}

void PreInputScale::showStatus(const QString &text, unsigned rgb)
{
    // A scale streams dozens of readings a second: the pane is redrawn only
    // when what it says changes.
    if (statusShown_ && text == statusText_ && rgb == statusColour_)
        return;
    status_(text, rgb);
    statusText_ = text;
    statusColour_ = rgb;
    statusShown_ = true;
}

void PreInputScale::showIndicator()
{
    QLabel *mark = page_.scaleIndicator();
    if (!mark)
        return;
    // A scale that sends only stable weights needs no mark, but for a frame
    // it sent that was none.
    mark->setVisible(listening() && (continuous_ || settle_.state() == ScaleSettle::State::Refused));
    const QString text = settle_.MarkText();
    if (text == mark->text())
        return;
    mark->setText(text);
    mark->setStyleSheet(colour(settle_.MarkColour()));
}

void PreInputScale::clearStatus()
{
    fromScale_ = false;
    if (statusShown_)
        status_(QString(), ScaleSettle::kSettledColor);
    statusShown_ = false;
}

} // namespace quarvel
