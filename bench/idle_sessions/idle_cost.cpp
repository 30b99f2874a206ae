#include "idle_sessions/idle_cost.h"

#include "common/elapsed.h"
#include "common/event_wait.h"

#include <QAbstractEventDispatcher>

#include <sys/resource.h>

namespace {

double milliseconds(const timeval &time)
{
    return double(time.tv_sec) * 1000.0 + double(time.tv_usec) / 1000.0;
}

} // namespace

IdleCost measureIdle(int seconds)
{
    IdleCost cost;
    const QMetaObject::Connection wakeups = QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&cost] { ++cost.loopWakeups; });
    rusage before{};
    rusage after{};
    getrusage(RUSAGE_SELF, &before);
    const BenchClock::time_point startedAt = BenchClock::now();
    runEventsFor(seconds * 1000);
    getrusage(RUSAGE_SELF, &after);
    cost.seconds = millisecondsBetween(startedAt, BenchClock::now()) / 1000.0;
    QObject::disconnect(wakeups);

    cost.cpuMs = milliseconds(after.ru_utime) + milliseconds(after.ru_stime) - milliseconds(before.ru_utime)
        - milliseconds(before.ru_stime);
    cost.voluntarySwitches = after.ru_nvcsw - before.ru_nvcsw;
    cost.involuntarySwitches = after.ru_nivcsw - before.ru_nivcsw;
    return cost;
}
