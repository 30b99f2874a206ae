#include "closing/month_figures.h"

#include <QMap>

#include <algorithm>
#include <cmath>

bool MonthProduct::lossAlarmOn(bool wasOn, const LevelLimits &limits) const
{
    if (!cumulativePercent)
        return wasOn;
    const double loss = -*cumulativePercent;
    return loss > (wasOn ? limits.restoreAt : limits.raiseAt);
}

QList<MonthProduct> summarizeMonth(const QList<DayFigures> &days)
{
    QList<DayFigures> byDate = days;
    std::sort(byDate.begin(), byDate.end(), [](const DayFigures &a, const DayFigures &b) { return a.date < b.date; });
    QMap<QString, MonthProduct> products;
    for (const DayFigures &day : byDate) {
        for (const ProductFigures &line : day.products) {
            MonthProduct &product = products[line.product];
            product.product = line.product;
            product.days << MonthDay{day.date, line.figures};
            if (line.figures.sales)
                product.sales += *line.figures.sales;
            if (line.figures.varianceLitres)
                product.cumulativeVariance += *line.figures.varianceLitres;
        }
    }
    QList<MonthProduct> summary;
    for (MonthProduct &product : products) {
        product.sales = std::round(product.sales * 100) / 100;
        product.cumulativeVariance = std::round(product.cumulativeVariance * 100) / 100;
        if (product.sales > 0)
            product.cumulativePercent = product.cumulativeVariance / product.sales * 100;
        summary << product;
    }
    return summary;
}
