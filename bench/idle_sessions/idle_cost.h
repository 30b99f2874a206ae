#pragma once

// What this process costs while its event loop runs with nothing to do.
struct IdleCost {
    double seconds = 0.0;
    double cpuMs = 0.0;              // user + system, every thread
    long voluntarySwitches = 0;      // every thread: each time one slept and was woken
    long involuntarySwitches = 0;
    long loopWakeups = 0;            // this thread's event loop returning from its wait

    double cpuMsPerSecond() const { return seconds > 0 ? cpuMs / seconds : 0.0; }
    double perSecond(long count) const { return seconds > 0 ? double(count) / seconds : 0.0; }
};

// Runs the event loop of this thread for `seconds` and reports what it cost.
IdleCost measureIdle(int seconds);
