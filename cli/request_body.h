#pragma once

#include "cli/cli_options.h"

#include <QByteArray>
#include <QDateTime>

// The request body a command sends once the dialogue is open; empty for identify, which is the
// dialogue itself. `now` is the PC clock, for set-clock.
QByteArray requestBody(const CliOptions &options, const QByteArray &password, const QDateTime &now);
