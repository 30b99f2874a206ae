#pragma once

#include <functional>

// Runs the event loop until `done` holds or `timeoutMs` has passed, and returns `done()`.
// `done` is tested each time the loop runs out of events, so the wait reacts as soon as the
// event that satisfies it has been handled, with no polling interval added to a timing.
bool waitUntil(const std::function<bool()> &done, int timeoutMs);

// Runs the event loop for `ms` milliseconds.
void runEventsFor(int ms);
