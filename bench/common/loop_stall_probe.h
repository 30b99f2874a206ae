#pragma once

#include "common/elapsed.h"

#include <QObject>

// Ticks every millisecond on the event loop of its thread, whichever loop is running (a modal
// window's too), and keeps the longest gap between two ticks beyond the tick itself: the longest
// time the thread was kept from handling events. The thread's CPU time over that gap tells work
// from the thread waiting for a core another process holds.
class LoopStallProbe : public QObject {
public:
    using QObject::QObject;

    // Forgets what was measured and starts ticking.
    void start();
    void stop();

    double longestStallMs() const { return longestStallMs_; }
    // When the longest stall ended, counted from start().
    double longestStallEndedMs() const { return longestStallEndedMs_; }
    // CPU time this thread used across the longest stall.
    double longestStallCpuMs() const { return longestStallCpuMs_; }
    int ticks() const { return ticks_; }

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void note(BenchClock::time_point now, double cpuMs);

    int timerId_ = 0;
    BenchClock::time_point startedAt_;
    BenchClock::time_point lastTick_;
    double lastTickCpuMs_ = 0.0;
    double longestStallMs_ = 0.0;
    double longestStallEndedMs_ = 0.0;
    double longestStallCpuMs_ = 0.0;
    int ticks_ = 0;
};
