#pragma once

#include "closing/day_figures.h"

#include <QList>
#include <QString>

#include <optional>

struct MonthDay {
    QDate date;
    StockFigures figures;
};

// One product over a month: its days, and what they add up to. A steady small daily loss,
// which no single day shows, is how a leak shows here.
struct MonthProduct {
    QString product;
    QList<MonthDay> days;  // by date, the days it has figures for
    double sales = 0;
    double cumulativeVariance = 0;              // litres: negative is a loss
    std::optional<double> cumulativePercent;    // of the sales

    // Whether the month's loss is beyond `limitPercent` of its sales.
    bool lossBeyond(double limitPercent) const;
};

// The days given (of one month, any order), product by product, by name.
QList<MonthProduct> summarizeMonth(const QList<DayFigures> &days);
