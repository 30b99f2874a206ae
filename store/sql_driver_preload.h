#pragma once

#include "store/database_location.h"

// Creates the location's Qt SQL driver once on the calling thread, before the threads that open
// the database start. On Windows, a driver first created on a worker thread leaves MinGW's C++
// runtime waiting for ever on a lock of the threads library as the process exits.
void preloadSqlDriver(const DatabaseLocation &location);
