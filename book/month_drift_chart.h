#pragma once

#include "closing/month_figures.h"

#include <QChartView>
#include <QDate>
#include <QList>

class QBarCategoryAxis;
class QBarSet;
class QLineSeries;
class QStackedBarSeries;
class QValueAxis;

// One product's month: each day's loss or gain as a bar, the month's running sum as a line, on one
// day axis; the bars have a litres axis of their own (right), so that a few litres a day show
// beside a month's hundreds. Bars of closed and open days are two sets stacked on each other, each day in one of
// them, so that an open day's bar is lighter and the legend says why.
class MonthDriftChart : public QChartView {
    Q_OBJECT
public:
    explicit MonthDriftChart(QWidget *parent = nullptr);

    void setProduct(const MonthProduct &product, const QList<QDate> &closedDays);

private:
    QStackedBarSeries *bars_;
    QBarSet *closedBars_;
    QBarSet *openBars_;
    QLineSeries *cumulative_;
    QBarCategoryAxis *dayAxis_;
    QValueAxis *monthLitresAxis_;  // the line's
    QValueAxis *dayLitresAxis_;    // the bars', a round multiple of the line's with zero level with it
};
