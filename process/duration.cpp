#include "process/duration.h"

#include <QString>

#include <algorithm>
#include <cmath>

Result<int, DurationProblem> durationMs(const QString &text, double unitMs, double longestUnits)
{
    bool ok = false;
    const double units = text.toDouble(&ok);
    if (!ok || !std::isfinite(units))
        return failure(DurationProblem::NotANumber);
    if (units <= 0)
        return failure(DurationProblem::NotPositive);
    if (units > longestUnits)
        return failure(DurationProblem::TooLong);
    return std::max(1, int(std::lround(units * unitMs)));
}
