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
    if (!link_.OpenScale(listener) && !link_.lastError().isEmpty()) {
        status_(link_.lastError(), kFailureColor);
        statusShown_ = true;
    }
    showIndicator();
}

void PreInputScale::reading(int grams, int step)
{
    if (!page_.ShowScaleReading(grams) || grams <= 0)
        return;
    settle_.Add(grams, step);
    status_(ScaleSettle::StatusText(grams, continuous_, settle_.settled()),
            continuous_ && !settle_.settled() ? kMovingColor : kSettledColor);
    statusShown_ = true;
    showIndicator();
}

void PreInputScale::lost(const QString &reason)
{
    status_(reason, kFailureColor);
    statusShown_ = true;
    showIndicator();
}

void PreInputScale::showIndicator()
{
    QLabel *mark = page_.scaleIndicator();
    if (!mark)
        return;
    mark->setVisible(listening() && continuous_);
    if (settle_.count() == 0) {
        mark->setText(QStringLiteral("等待读数"));
        mark->setStyleSheet(colour(kWaitingColor));
    } else {
        mark->setText(settle_.settled() ? QStringLiteral("稳定") : QStringLiteral("变动"));
        mark->setStyleSheet(colour(settle_.settled() ? kSettledColor : kMovingColor));
    }
}

void PreInputScale::clearStatus()
{
    if (statusShown_)
        status_(QString(), kSettledColor);
    statusShown_ = false;
}

} // namespace quarvel
