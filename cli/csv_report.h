#pragma once

#include "cli/command_report.h"

#include <QByteArray>

// RFC 4180: the command's main table with a header row, comma separated, CRLF line ends, a
// decimal point in numbers, and empty fields for values that are not there. UTF-8.
QByteArray csvReport(const CommandReport &report);
