#include "store_common/median_time.h"

#include "common/elapsed.h"
#include "store_common/bench_readings.h"

#include <vector>

double medianMs(int runs, const std::function<void()> &run)
{
    run();
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const BenchClock::time_point before = BenchClock::now();
        run();
        ms.push_back(millisecondsBetween(before, BenchClock::now()));
    }
    return quantile(ms, 0.5);
}
