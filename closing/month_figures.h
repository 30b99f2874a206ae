#pragma once

#include "alarms/alarm_config.h"
#include "closing/day_figures.h"

#include <QList>
#include <QString>

#include <optional>

struct MonthDay {
    QDate date;
    StockFigures figures;
    double cumulativeVariance = 0;  // litres, the month's loss or gain up to this day, included
};

// One product over a month: its days, and what they add up to. A steady small daily loss,
// which no single day shows, is how a leak shows here.
struct MonthProduct {
    QString product;
    QList<MonthDay> days;  // by date, the days it has figures for
    double sales = 0;
    double cumulativeVariance = 0;              // litres: negative is a loss
    std::optional<double> cumulativePercent;    // of the sales

    // Whether the cumulative_loss alarm is on, given whether it was: raised once the month's loss
    // is beyond limits.raiseAt % of its sales, kept until it is back at limits.restoreAt % or
    // below. A month without sales tells nothing, and leaves the alarm as it was.
    bool lossAlarmOn(bool wasOn, const LevelLimits &limits) const;
};

// The days given (of one month, any order), product by product, by name.
QList<MonthProduct> summarizeMonth(const QList<DayFigures> &days);
