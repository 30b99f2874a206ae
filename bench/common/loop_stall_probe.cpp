#include "common/loop_stall_probe.h"

#include <ctime>

namespace {

constexpr int TickMs = 1;

double threadCpuMilliseconds()
{
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return double(time.tv_sec) * 1000.0 + double(time.tv_nsec) / 1e6;
}

} // namespace

void LoopStallProbe::start()
{
    stop();
    longestStallMs_ = 0.0;
    longestStallEndedMs_ = 0.0;
    longestStallCpuMs_ = 0.0;
    ticks_ = 0;
    startedAt_ = lastTick_ = BenchClock::now();
    lastTickCpuMs_ = threadCpuMilliseconds();
    timerId_ = startTimer(TickMs, Qt::PreciseTimer);
}

void LoopStallProbe::stop()
{
    if (timerId_ == 0)
        return;
    killTimer(timerId_);
    timerId_ = 0;
    // A stall still going on when measuring stops counts up to now.
    note(BenchClock::now(), threadCpuMilliseconds());
}

void LoopStallProbe::timerEvent(QTimerEvent *)
{
    note(BenchClock::now(), threadCpuMilliseconds());
    ++ticks_;
}

void LoopStallProbe::note(BenchClock::time_point now, double cpuMs)
{
    const double stallMs = millisecondsBetween(lastTick_, now) - TickMs;
    if (stallMs > longestStallMs_) {
        longestStallMs_ = stallMs;
        longestStallEndedMs_ = millisecondsBetween(startedAt_, now);
        longestStallCpuMs_ = cpuMs - lastTickCpuMs_;
    }
    lastTick_ = now;
    lastTickCpuMs_ = cpuMs;
}
