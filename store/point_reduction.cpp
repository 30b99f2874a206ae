#include "store/point_reduction.h"

#include <algorithm>

SeriesPoints reducedToColumns(const SeriesPoints &points, qint64 fromMs, qint64 toMs, int columns)
{
    if (columns <= 0 || toMs <= fromMs || points.size() <= 2 * qsizetype(columns))
        return points;
    const double span = double(toMs - fromMs);
    const auto columnOf = [&](qint64 atMs) {
        const auto column = qint64(double(atMs - fromMs) / span * columns);
        return std::clamp<qint64>(column, 0, columns - 1);
    };
    SeriesPoints reduced;
    reduced.reserve(2 * columns);
    qsizetype first = 0;
    while (first < points.size()) {
        const qint64 column = columnOf(points[first].atMs);
        qsizetype lowest = first;
        qsizetype highest = first;
        qsizetype end = first + 1;
        for (; end < points.size() && columnOf(points[end].atMs) == column; ++end) {
            if (points[end].value < points[lowest].value)
                lowest = end;
            if (points[end].value > points[highest].value)
                highest = end;
        }
        reduced.append(points[std::min(lowest, highest)]);
        if (lowest != highest)
            reduced.append(points[std::max(lowest, highest)]);
        first = end;
    }
    return reduced;
}
