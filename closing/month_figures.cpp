#include "closing/month_figures.h"

#include <QMap>

#include <algorithm>
#include <cmath>

namespace {

// To the centilitre, as the days' figures are, so that a sum of thirty days carries no binary dust.
double rounded(double litres)
{
    return std::round(litres * 100) / 100;
}

} // namespace

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
            if (line.figures.sales)
                product.sales += *line.figures.sales;
            if (line.figures.varianceLitres)
                product.cumulativeVariance += *line.figures.varianceLitres;
            product.days << MonthDay{day.date, line.figures, rounded(product.cumulativeVariance)};
        }
    }
    QList<MonthProduct> summary;
    for (MonthProduct &product : products) {
        product.sales = rounded(product.sales);
        product.cumulativeVariance = rounded(product.cumulativeVariance);
        if (product.sales > 0)
            product.cumulativePercent = product.cumulativeVariance / product.sales * 100;
        summary << product;
    }
    return summary;
}
