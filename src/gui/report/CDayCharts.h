#pragma once

#include <QWidget>

class QChart;
class QChartView;

namespace quarvel {

class DayReport;

// The picture of a counter day: shipments accepted per hour as bars, and
// the weight per express kind as a pie.
class CDayCharts : public QWidget {
    Q_OBJECT

public:
    explicit CDayCharts(QWidget *parent = nullptr);

    void Show(const DayReport &report);
    QChart *hourChart() const;
    QChart *kindChart() const;

private:
    QChartView *hours_ = nullptr;
    QChartView *kinds_ = nullptr;
};

} // namespace quarvel
