#pragma once

// Makes SIGINT and SIGTERM end the event loop the normal way, so sockets are closed and the
// simulator's destructors run. Call once, after the QCoreApplication exists.
void quitOnTerminationSignals();
