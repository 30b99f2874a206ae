#pragma once

// SIGINT and SIGTERM mark the benchmark interrupted instead of ending it, so that every wait
// gives up and the destructors stop the simulators and the PostgreSQL server.
void noteTerminationSignals();
bool interrupted();
