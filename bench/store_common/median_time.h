#pragma once

#include <functional>

// Runs `run` once untimed, to warm the page cache as a window asked twice would find it, then
// `runs` times: the median of those, in milliseconds.
double medianMs(int runs, const std::function<void()> &run);
