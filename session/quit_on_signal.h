#pragma once

#include <functional>

// Calls `handler` on the event loop, never inside the signal handler, once for each SIGINT or
// SIGTERM. Call once, after the QCoreApplication exists.
void onTerminationSignals(std::function<void()> handler);

// Makes SIGINT and SIGTERM end the event loop the normal way, so sockets are closed and the
// destructors run.
void quitOnTerminationSignals();
