#include "report/CDayCharts.h"

#include "report/DayReport.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QPieSeries>
#include <QPieSlice>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace quarvel {

namespace {

QChartView *makeView(QWidget *parent)
{
    auto *view = new QChartView(new QChart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(210);
    view->chart()->setMargins(QMargins(2, 2, 2, 2));
    view->chart()->legend()->setAlignment(Qt::AlignRight);
    return view;
}

// The hours around those with a shipment, at least eight of them (the
// working day, 8 to 18, when there is none), so the bars keep their labels.
std::pair<int, int> hourRange(const std::array<int, 24> &perHour)
{
    constexpr int kLeast = 8;
    int first = 24;
    int last = -1;
    for (int h = 0; h < 24; ++h)
        if (perHour[std::size_t(h)] > 0) {
            first = std::min(first, h);
            last = std::max(last, h);
        }
    if (last < 0)
        return {8, 18};
    while (last - first + 1 < kLeast) {
        first = std::max(0, first - 1);
        last = std::min(23, last + 1);
    }
    return {first, last};
}

// Whole-number ticks for a count axis: a step of 1, 2 or 5 times a power of
// ten giving at most five intervals, so that no label shows twice (a count
// of 2 on five ticks would read 0, 0, 1, 1, 2).
int countStep(int most)
{
    for (int scale = 1;; scale *= 10)
        for (const int m : {1, 2, 5})
            if (most <= m * scale * 5)
                return m * scale;
}

void setCountRange(QValueAxis *axis, int most)
{
    const int step = countStep(std::max(most, 1));
    const int top = std::max(1, (most + step - 1) / step) * step;
    axis->setRange(0, top);
    axis->setTickCount(top / step + 1);
    axis->setLabelFormat(QStringLiteral("%d"));
}

void showHours(QChart *chart, const DayReport &report)
{
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes())
        chart->removeAxis(axis);
    chart->setTitle(QStringLiteral("每小时上传票数"));
    chart->legend()->hide();
    auto *set = new QBarSet(QStringLiteral("票数"));
    set->setColor(QColor(0x2E, 0x6F, 0xB5));
    QStringList hours;
    const auto [first, last] = hourRange(report.perHour());
    int most = 0;
    for (int h = first; h <= last; ++h) {
        *set << report.perHour()[std::size_t(h)];
        most = std::max(most, report.perHour()[std::size_t(h)]);
        hours << QString::number(h);
    }
    auto *series = new QBarSeries;
    series->append(set);
    chart->addSeries(series);
    auto *x = new QBarCategoryAxis;
    x->append(hours);
    auto *y = new QValueAxis;
    setCountRange(y, most);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
}

void showKinds(QChart *chart, const DayReport &report)
{
    chart->removeAllSeries();
    chart->setTitle(QStringLiteral("各快递类别重量(公斤)"));
    chart->legend()->show();
    auto *series = new QPieSeries;
    for (const auto &[kind, tally] : report.byKind())
        if (tally.weight > 0)
            series->append(QStringLiteral("%1 %2")
                               .arg(kind.isEmpty() ? QStringLiteral("(未填)") : kind)
                               .arg(tally.weight, 0, 'f', 3),
                           tally.weight);
    series->setPieSize(0.75);
    chart->addSeries(series);
}

} // namespace

CDayCharts::CDayCharts(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    hours_ = makeView(this);
    kinds_ = makeView(this);
    layout->addWidget(hours_);
    layout->addWidget(kinds_);
}

void CDayCharts::Show(const DayReport &report)
{
    showHours(hours_->chart(), report);
    showKinds(kinds_->chart(), report);
}

QChart *CDayCharts::hourChart() const
{
    return hours_->chart();
}

QChart *CDayCharts::kindChart() const
{
    return kinds_->chart();
}

} // namespace quarvel
