#include "scale/PreInputScale.h"

#include "preinput/CPreInputPage.h"
#include "scale/ScaleLink.h"
#include "scale/ScaleSettings.h"

#include <QLabel>
#include <QLineEdit>

namespace quarvel {

namespace {

QString colour(unsigned rgb)
{
    return QStringLiteral("color: #%1;").arg(rgb, 6, 16, QLatin1Char('0'));
}

} // namespace

PreInputScale::PreInputScale(ScaleLink &link, const ScaleSettings &settings, CPreInputPage &page, StatusLine status)
    : QObject(&page), link_(link), settings_(settings), page_(page), status_(std::move(status))
{
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

void PreInputScale::weightFocus(bool gained)
{
    if (!gained) {
        link_.CloseScale(this);
        showIndicator();
        return;
    }
    if (!page_.form().isNew() || !settings_.isEnabled())
        return;
    ScaleLink::Listener listener;
    listener.owner = this;
    listener.reading = [this](int grams, int step) { reading(grams, step); };
    listener.lost = [this](const QString &reason) { lost(reason); };
    settle_.Clear();
    continuous_ = !settings_.onStable();
    if (!link_.OpenScale(listener) && !link_.lastError().isEmpty())
        showStatus(link_.lastError(), kFailureColor);
    showIndicator();
}

void PreInputScale::reading(int grams, int step)
{
    if (!page_.ShowScaleReading(grams) || grams <= 0)
        return;
    settle_.Add(grams, step);
    showStatus(ScaleSettle::StatusText(grams, continuous_, settle_.settled()),
               continuous_ && !settle_.settled() ? kMovingColor : kSettledColor);
    showIndicator();
}

void PreInputScale::lost(const QString &reason)
{
    showStatus(reason, kFailureColor);
    showIndicator();
}

void PreInputScale::showStatus(const QString &text, unsigned rgb)
{
    // A scale streams dozens of weights a second: the pane is redrawn only
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
    mark->setVisible(listening() && continuous_);
    const QString text = settle_.count() == 0 ? QStringLiteral("等待读数")
                         : settle_.settled()  ? QStringLiteral("稳定")
                                              : QStringLiteral("变动");
    if (text == mark->text())
        return;
    mark->setText(text);
    mark->setStyleSheet(colour(settle_.count() == 0 ? kWaitingColor
                               : settle_.settled()  ? kSettledColor
                                                    : kMovingColor));
}

void PreInputScale::clearStatus()
{
    if (statusShown_)
        status_(QString(), kSettledColor);
    statusShown_ = false;
}

} // namespace quarvel
