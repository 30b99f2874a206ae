#pragma once

#include <chrono>

using BenchClock = std::chrono::steady_clock;

inline double millisecondsBetween(BenchClock::time_point from, BenchClock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}
