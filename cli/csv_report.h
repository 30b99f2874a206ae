#pragma once

#include "cli/command_report.h"
#include "cli/report_table.h"

#include <QByteArray>

// RFC 4180: the command's main table with a header row, comma separated, CRLF line ends, a
// decimal point in numbers, and empty fields for values that are not there. UTF-8. Text fields
// have their control characters as U+FFFD and are guarded against formulas as the console's
// exports are.
QByteArray csvReport(const CommandReport &report);

// One table in that form.
QByteArray csvTable(const ReportTable &table);
