#pragma once

#include "store/history_queries.h"

// Thins a series, sorted by time, to what a chart `columns` pixels wide can show: for each
// column (an equal slice of [fromMs, toMs)) its lowest and its highest point, in time order, so
// every peak, trough and step survives. A series already that small is returned as it is; points
// outside the span count in the nearest edge column.
SeriesPoints reducedToColumns(const SeriesPoints &points, qint64 fromMs, qint64 toMs, int columns);
