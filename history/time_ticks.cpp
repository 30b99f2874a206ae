#include "history/time_ticks.h"

#include <QDateTime>

namespace {

constexpr int MostIntervals = 8;
// Each divides a day, so that every day's ticks fall at the same times.
constexpr int MinuteSteps[] = {1, 2, 5, 10, 15, 30, 60, 120, 180, 240, 360, 720};
constexpr int DaySteps[] = {1, 2, 3, 4, 5, 7, 10, 14, 15, 30, 60, 90, 180, 365};

// From the start of the step that holds fromMs, in steps of `minutes` minutes or of `days` days,
// until toMs is covered; given up past MostIntervals steps.
TimeTicks ticks(qint64 fromMs, qint64 toMs, int minutes, int days)
{
    const QDateTime from = QDateTime::fromMSecsSinceEpoch(fromMs);
    const int minuteOfDay = from.time().hour() * 60 + from.time().minute();
    const QDateTime first =
        days == 0 ? QDateTime(from.date(), QTime(0, 0).addSecs((minuteOfDay - minuteOfDay % minutes) * 60))
                  : QDateTime(from.date().addDays(-(from.date().toJulianDay() % days)), QTime(0, 0));
    QDateTime last = first;
    int intervals = 0;
    while ((last.toMSecsSinceEpoch() < toMs || intervals == 0) && intervals <= MostIntervals) {
        last = days == 0 ? last.addSecs(qint64(minutes) * 60) : last.addDays(days);
        ++intervals;
    }
    return {first.toMSecsSinceEpoch(), last.toMSecsSinceEpoch(), intervals};
}

} // namespace

TimeTicks roundTimeTicks(qint64 fromMs, qint64 toMs)
{
    for (const int minutes : MinuteSteps) {
        const TimeTicks candidate = ticks(fromMs, toMs, minutes, 0);
        if (candidate.intervals <= MostIntervals)
            return candidate;
    }
    int days = 0;
    for (const int step : DaySteps) {
        days = step;
        const TimeTicks candidate = ticks(fromMs, toMs, 0, days);
        if (candidate.intervals <= MostIntervals)
            return candidate;
    }
    // Beyond some eight years: whole years of days, as many as it takes.
    const qint64 spanDays = (toMs - fromMs) / (24 * 3600 * 1000LL) + 1;
    return ticks(fromMs, toMs, 0, int((spanDays / days / (MostIntervals - 1) + 1) * days));
}
