#pragma once

#include <QCoreApplication>

#include <functional>

// Calls `handler` on the event loop, never inside the signal handler, once for each SIGINT or
// SIGTERM; on Windows, once for each Ctrl+C, Ctrl+Break, closed console window or shutdown. Call
// once, after the QCoreApplication exists.
void onTerminationSignals(std::function<void()> handler);

// Makes those signals end the event loop the normal way, so sockets are closed and the destructors
// run.
inline void quitOnTerminationSignals()
{
    onTerminationSignals(&QCoreApplication::quit);
}
