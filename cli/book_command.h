#pragma once

#include "cli/cli_options.h"
#include "cli/station_address.h"

#include <QTextStream>

// Runs one of the daily book's commands on the history and prints its result: the exit status.
// The controller is never dialled.
int runBookCommand(const CliOptions &options, const StationResolution &station, QTextStream &out, QTextStream &err);
