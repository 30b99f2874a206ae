#include "cli/product_totals.h"

#include "cli/report_values.h"

#include <algorithm>

namespace {

std::optional<double> plus(const std::optional<double> &sum, const std::optional<double> &value)
{
    if (!sum || !value)
        return std::nullopt;
    return *sum + *value;
}

} // namespace

QList<ProductTotal> productTotals(const QList<TankAnswer> &tanks)
{
    QList<int> missing;
    for (const TankAnswer &answer : tanks) {
        if (!answer.reading && answer.tank)
            missing << *answer.tank;
    }
    QList<ProductTotal> totals;
    for (const TankAnswer &answer : tanks) {
        if (!answer.reading)
            continue;
        const MeasurementValues values = measurementValues(*answer.reading);
        auto total = std::find_if(totals.begin(), totals.end(), [&values](const ProductTotal &t) {
            return t.product == values.product && t.unit == values.unit;
        });
        if (total == totals.end()) {
            totals.append({values.product, values.unit, values.measured, values.complementary, missing});
            continue;
        }
        total->measured = plus(total->measured, values.measured);
        total->complementary = plus(total->complementary, values.complementary);
    }
    return totals;
}
