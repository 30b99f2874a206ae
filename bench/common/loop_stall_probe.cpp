#include "common/loop_stall_probe.h"

#include <QTimerEvent>

namespace {

constexpr int TickMs = 1;

} // namespace

void LoopStallProbe::start()
{
    stop();
    longestStallMs_ = 0.0;
    longestStallEndedMs_ = 0.0;
    ticks_ = 0;
    startedAt_ = lastTick_ = BenchClock::now();
    timerId_ = startTimer(TickMs, Qt::PreciseTimer);
}

void LoopStallProbe::stop()
{
    if (timerId_ == 0)
        return;
    killTimer(timerId_);
    timerId_ = 0;
    // A stall still going on when measuring stops counts up to now.
    note(BenchClock::now());
}

void LoopStallProbe::timerEvent(QTimerEvent *)
{
    note(BenchClock::now());
    ++ticks_;
}

void LoopStallProbe::note(BenchClock::time_point now)
{
    const double stallMs = millisecondsBetween(lastTick_, now) - TickMs;
    if (stallMs > longestStallMs_) {
        longestStallMs_ = stallMs;
        longestStallEndedMs_ = millisecondsBetween(startedAt_, now);
    }
    lastTick_ = now;
}
