#pragma once

#include "cli/command_report.h"

#include <QByteArray>

// The command's tables as the operator reads them: Portuguese headers, aligned columns, dates as
// DD/MM/AAAA, "-" for a value that is not there. UTF-8.
QByteArray textReport(const CommandReport &report);
