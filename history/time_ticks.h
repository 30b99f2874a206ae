#pragma once

#include <QtGlobal>

// Where a time axis puts its labels: from `firstMs` to `lastMs` in `intervals` equal steps.
struct TimeTicks {
    qint64 firstMs = 0;
    qint64 lastMs = 0;
    int intervals = 1;
};

// Ticks on whole minutes, hours or days of the PC's zone (the zone the chart's axis labels in), a
// round step apart, covering fromMs to toMs in no more than 8 steps: labels that read 00:00,
// 06:00, 12:00 rather than 16:18, 22:19.
TimeTicks roundTimeTicks(qint64 fromMs, qint64 toMs);
